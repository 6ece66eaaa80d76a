/* What the acquisition interface needs from its host library, and what the
 * host needs from the interface: host calls and flags, the host's records
 * (FGClass, FGInstance, ParamValue, Himage).  Compiles as C and as C++.
 *
 * Status convention: every host call returns an Herror; H_MSG_OK (2) and
 * below mean success, anything above 2 is a host error code. */
#ifndef HACQ_BINDINGS_HOST_H
#define HACQ_BINDINGS_HOST_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(HOST_LAYER_BUILD)
#define HOST_API __declspec(dllexport)
#else
#define HOST_API __declspec(dllimport)
#endif
#else
#define HOST_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t Herror;
typedef void* Hproc_handle; /* the host's handle of the calling operator */
typedef void* Hkey;         /* host object key (unused by the interface) */
typedef void* Hmutex;       /* pointer-sized host mutex handle */

#define H_MSG_OK 2 /* success */

/* Host error codes the interface returns (texts belong to the host). */
#define H_ERR_FGTRIGGER 5    /* camera refused a trigger switch / software trigger */
#define H_ERR_FGWB 5301      /* bits per channel other than 8 */
#define H_ERR_FGDV 5302      /* no such device, or the device failed */
#define H_ERR_FGTIMEOUT 5306 /* no frame, or frame could not be converted */
#define H_ERR_FGWR 5307      /* resolution divisor other than 1, 2, 4 */
#define H_ERR_FGWP 5308      /* image part outside the sensor */
#define H_ERR_FGEXTTRIG 5313 /* external trigger not supported */
#define H_ERR_FGLINE 5314    /* line-in other than 0 */
#define H_ERR_FGCS 5315      /* colour space neither gray nor rgb */
#define H_ERR_FGPORT 5316    /* port outside 0..3 */
#define H_ERR_FGDEVBUSY 5319 /* device already open */
#define H_ERR_FGPARAM 5321   /* parameter name not known */
#define H_ERR_FGFIELD 5324   /* field code other than 2 or 4 */
#define H_ERR_FGPART 5325    /* parameter value of the wrong type */
#define H_ERR_FGPARV 5326    /* parameter value invalid or missing */
#define H_ERR_FGNOTSUP 5327  /* operation not supported */
#define H_ERR_FGBUSY 5329    /* stream is grabbing */
#define H_ERR_FGPARNUM 5330  /* parameter list has the wrong count */

/* ParamValue type codes. */
#define PV_INTEGER 1
#define PV_FLOAT 2
#define PV_STRING 4

/* One host parameter value: a 64-bit payload and its type code. */
typedef struct ParamValue {
  union {
    int64_t l; /* PV_INTEGER */
    double d;  /* PV_FLOAT */
    char* s;   /* PV_STRING: NUL-terminated; owner depends on the call */
  } par;
  int32_t type;
} ParamValue;

/* Pixel kinds. The interface only creates byte images. */
#define HIMAGE_BYTE (1 << 0)

/* The host's image record.  pixel.b points at width*height bytes; who owns
 * them is recorded in host_owned (set by HNewImage, cleared by
 * HNewImagePtr).  Only the host layer reads host_owned. */
typedef struct Himage {
  int32_t kind;
  int32_t width;
  int32_t height;
  union {
    uint8_t* b;
    void* p;
  } pixel;
  int32_t host_owned;
} Himage;

#define FG_MAX_INST 256
#define FG_STRING_LEN 1024

struct InstanceRecord; /* the interface's own per-instance record */
struct FGClass;

/* The host's record of one open instance. */
typedef struct FGInstance {
  struct FGClass* fgclass;
  int32_t horizontal_resolution;
  int32_t vertical_resolution;
  int32_t image_width;
  int32_t image_height;
  int32_t start_row;
  int32_t start_column;
  int32_t field;
  int32_t bits_per_channel;
  char color_space[FG_STRING_LEN];
  float gain;
  bool external_trigger;
  char camera_type[FG_STRING_LEN];
  char device[FG_STRING_LEN];
  int32_t port;
  int32_t line_in;
  ParamValue* generic;
  int32_t num_generic;
  int64_t resolution_mode;
  int32_t width_max;
  int32_t height_max;
  int32_t num_channels;
  bool async_grab;
  struct InstanceRecord* inst_data;
  bool host_allocates_images;
  void* image_release_proc;
} FGInstance;

/* Operation table slots.  Every operation but OpenRequest returns an Herror.
 * The host may call operations of one instance from several threads (e.g.
 * SetParam("do_abort_grab") while Grab waits); Open/Close of an instance
 * are never concurrent with other operations on the same instance. */
typedef FGInstance** (*FGOpenRequestProc)(Hproc_handle proc_id, FGInstance* fginst);
typedef Herror (*FGInstanceProc)(Hproc_handle proc_id, FGInstance* fginst);
typedef Herror (*FGGrabProc)(Hproc_handle proc_id, FGInstance* fginst, Himage* image,
                             int32_t* num_image);
typedef Herror (*FGGrabStartAsyncProc)(Hproc_handle proc_id, FGInstance* fginst, double max_delay);
typedef Herror (*FGGrabAsyncProc)(Hproc_handle proc_id, FGInstance* fginst, double max_delay,
                                  Himage* image, int32_t* num_image);
/* Grab-with-data: the further host arguments are not read by this interface. */
typedef Herror (*FGGrabDataProc)(Hproc_handle proc_id, FGInstance* fginst, void* images,
                                 void* regions, void* contours, void* data);
typedef Herror (*FGGrabDataAsyncProc)(Hproc_handle proc_id, FGInstance* fginst, double max_delay,
                                      void* images, void* regions, void* contours, void* data);
/* Info: *info points at a constant text; *values is one host block (array
 * plus any texts it points at) that the caller frees with HXFree, or null. */
typedef Herror (*FGInfoProc)(Hproc_handle proc_id, int32_t query, const char** info,
                             ParamValue** values, int32_t* num_values);
typedef Herror (*FGSetParamProc)(Hproc_handle proc_id, FGInstance* fginst, const char* name,
                                 const ParamValue* value);
/* GetParam: value has room for 4 values, or for the pixel-format count. */
typedef Herror (*FGGetParamProc)(Hproc_handle proc_id, FGInstance* fginst, const char* name,
                                 ParamValue* value, int32_t* num_value);
typedef Herror (*FGUnusedProc)(Hproc_handle proc_id, FGInstance* fginst, void* arg);

/* The host's interface record, filled by FGInit. */
typedef struct FGClass {
  int32_t revision_number;
  bool available;
  int32_t instances_num;
  int32_t instances_max;
  FGInstance* instance[FG_MAX_INST];

  FGOpenRequestProc OpenRequest;
  FGInstanceProc Open;
  FGInstanceProc Close;
  FGGrabProc Grab;
  FGGrabStartAsyncProc GrabStartAsync;
  FGGrabAsyncProc GrabAsync;
  FGGrabDataProc GrabData;
  FGGrabDataAsyncProc GrabDataAsync;
  FGInfoProc Info;
  FGSetParamProc SetParam;
  FGGetParamProc GetParam;
  FGUnusedProc SetLut; /* further slots: this interface leaves them null */
  FGUnusedProc GetLut;
  FGUnusedProc SetParamTuple;
  FGUnusedProc GetParamTuple;

  /* Default open parameters. */
  int32_t horizontal_resolution;
  int32_t vertical_resolution;
  int32_t image_width;
  int32_t image_height;
  int32_t start_row;
  int32_t start_column;
  int32_t field;
  int32_t bits_per_channel;
  char color_space[FG_STRING_LEN];
  float gain;
  bool external_trigger;
  char camera_type[FG_STRING_LEN];
  char device[FG_STRING_LEN];
  int32_t port;
  int32_t line_in;
} FGClass;

/* The interface's registration entry, exported by the interface library. */
typedef Herror (*FGInitProc)(Hproc_handle proc_id, FGClass* fg);

/* Global variable number of the host setting switched off around the
 * creation of copy-mode images. */
#define HGV_IMAGE_INIT 64

/* ---- Host services (exported by the host library) ---------------------- */

/* Flags the host exports: memory tracing selects the checking allocator;
 * low-level error printing enables IOPrintErrorMessage output. */
HOST_API extern int32_t HTraceMemory;
HOST_API extern int32_t HDoLowError;

/* Memory.  Blocks outlive the call that makes them; the checking variants
 * also record the source path and line of the caller. */
HOST_API Herror HXAlloc(Hproc_handle proc_id, size_t size, void** ptr);
HOST_API Herror HXAllocMemCheck(Hproc_handle proc_id, size_t size, const char* file, int32_t line,
                                int32_t tag, void** ptr);
HOST_API Herror HXFree(Hproc_handle proc_id, void* ptr);
HOST_API Herror HXFreeMemCheck(Hproc_handle proc_id, void* ptr, const char* file, int32_t line);

/* Images.  HNewImage allocates host-owned pixel memory (uninitialised);
 * HNewImagePtr wraps data without copying when copy is 0. */
HOST_API Herror HNewImage(Hproc_handle proc_id, Himage* image, int32_t kind, int32_t width,
                          int32_t height);
HOST_API Herror HNewImagePtr(Hproc_handle proc_id, Himage* image, int32_t kind, int32_t width,
                             int32_t height, void* data, int32_t copy);

/* Host global variables.  mode 1 reads the variable into *value; mode 0
 * writes dvalue.  text, key and index are unused for variable 64. */
HOST_API Herror HAccessGlVar(Hproc_handle proc_id, int32_t var, int32_t mode, int64_t* value,
                             double dvalue, char* text, Hkey key, int64_t index);
/* Processor cache size query (level 1). */
HOST_API int64_t HGVGet_CPUCache(int32_t level);

/* Mutexes: *mutex is created by Init and cleared by Destroy. */
HOST_API Herror HpThreadMutexInit(Hmutex* mutex);
HOST_API Herror HpThreadMutexLock(Hmutex* mutex);
HOST_API Herror HpThreadMutexUnlock(Hmutex* mutex);
HOST_API Herror HpThreadMutexDestroy(Hmutex* mutex);

/* Builds the default open parameters from fg's default fields (15 values in
 * open-parameter order) into one host block that the caller frees. */
HOST_API Herror HFgGetDefaults(Hproc_handle proc_id, FGClass* fg, ParamValue** values,
                               int32_t* num_values);

/* Call tracing and error handling. */
HOST_API int32_t IOGetSpyProcCallSwitch(void);
HOST_API void IOSpyProcCall(const char* text, int32_t line, const char* file);
HOST_API Herror HProcessErr(const char* text, Herror err, int32_t line, const char* file);
HOST_API void IOPrintErrorMessage(const char* text);

#ifdef __cplusplus
}
#endif

#endif
