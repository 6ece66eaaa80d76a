/* The camera SDK's C ABI as the acquisition interface uses it.  Every SDK
 * object is a record of operations; each operation takes its object first.
 * Unless said otherwise an operation returns 0 for success and -1 for
 * failure.  Strings handed out by the SDK stay owned by the SDK and live as
 * long as the object that gave them.  All operations may be called from
 * several threads at once.  Compiles as C and as C++.
 *
 * Entry points are bound by name at run time (see the SDK_ENTRY_* names). */
#ifndef HACQ_BINDINGS_CAMERA_SDK_H
#define HACQ_BINDINGS_CAMERA_SDK_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(SDK_BUILD)
#define SDK_API __declspec(dllexport)
#else
#define SDK_API __declspec(dllimport)
#endif
#else
#define SDK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define SDK_OK 0
#define SDK_FAIL (-1)

#define SDK_DISCOVERY_ALL 255 /* discovery selector: every transport */
#define SDK_ACCESS_CONTROL 2  /* connect: exclusive control access */
#define SDK_GRAB_STRATEGY_ONE_BY_ONE 1
#define SDK_SYMBOL_LEN 256      /* enumeration symbol buffers */
#define SDK_SYMBOL_LIST_MAX 256 /* capacity of a symbol list */
#define SDK_STRING_LEN 1024     /* string feature buffers */

typedef struct GENICAM_System GENICAM_System;
typedef struct GENICAM_Camera GENICAM_Camera;
typedef struct GENICAM_StreamSource GENICAM_StreamSource;
typedef struct GENICAM_Frame GENICAM_Frame;

/* ---- Feature nodes -------------------------------------------------------
 * Controls hand nodes out by value; the caller releases its copy after use
 * (release is safe on a node whose accessor failed: priv is then null and
 * every operation returns -1). */

typedef struct GENICAM_IntNode {
  void* priv;
  int32_t (*release)(struct GENICAM_IntNode* self);
  int32_t (*getValue)(struct GENICAM_IntNode* self, int64_t* value);
  int32_t (*setValue)(struct GENICAM_IntNode* self, int64_t value);
  int32_t (*getMinVal)(struct GENICAM_IntNode* self, int64_t* value);
  int32_t (*getMaxVal)(struct GENICAM_IntNode* self, int64_t* value);
  int32_t (*getIncrement)(struct GENICAM_IntNode* self, int64_t* value);
} GENICAM_IntNode;

typedef struct GENICAM_DoubleNode {
  void* priv;
  int32_t (*release)(struct GENICAM_DoubleNode* self);
  int32_t (*getValue)(struct GENICAM_DoubleNode* self, double* value);
  int32_t (*setValue)(struct GENICAM_DoubleNode* self, double value);
  int32_t (*getMinVal)(struct GENICAM_DoubleNode* self, double* value);
  int32_t (*getMaxVal)(struct GENICAM_DoubleNode* self, double* value);
} GENICAM_DoubleNode;

typedef struct GENICAM_BoolNode {
  void* priv;
  int32_t (*release)(struct GENICAM_BoolNode* self);
  int32_t (*getValue)(struct GENICAM_BoolNode* self, uint32_t* value); /* 0 or 1 */
  int32_t (*setValue)(struct GENICAM_BoolNode* self, uint32_t value);
} GENICAM_BoolNode;

/* One entry of an enumeration's symbol list. */
typedef struct GENICAM_EnumEntry {
  char symbol[SDK_SYMBOL_LEN];
} GENICAM_EnumEntry;

typedef struct GENICAM_EnumNode {
  void* priv;
  int32_t (*release)(struct GENICAM_EnumNode* self);
  /* Writes the current symbol (NUL-terminated, cut to *len - 1 characters)
   * into buf of *len bytes; *len becomes the symbol's length + 1. */
  int32_t (*getValueSymbol)(struct GENICAM_EnumNode* self, char* buf, uint32_t* len);
  int32_t (*setValueBySymbol)(struct GENICAM_EnumNode* self, const char* symbol);
  /* *count holds the capacity of list on entry and the number of entries
   * written on return (at most the capacity; longer symbols are cut). */
  int32_t (*getEnumSymbolList)(struct GENICAM_EnumNode* self, GENICAM_EnumEntry* list,
                               uint32_t* count);
} GENICAM_EnumNode;

typedef struct GENICAM_StringNode {
  void* priv;
  int32_t (*release)(struct GENICAM_StringNode* self);
  /* Same buffer rule as getValueSymbol. */
  int32_t (*getValue)(struct GENICAM_StringNode* self, char* buf, uint32_t* len);
  int32_t (*setValue)(struct GENICAM_StringNode* self, const char* value);
} GENICAM_StringNode;

typedef struct GENICAM_CmdNode {
  void* priv;
  int32_t (*release)(struct GENICAM_CmdNode* self);
  int32_t (*execute)(struct GENICAM_CmdNode* self); /* negative = failure */
} GENICAM_CmdNode;

/* ---- Controls ----------------------------------------------------------- */

typedef struct GENICAM_AcquisitionControl {
  void* priv;
  int32_t (*release)(struct GENICAM_AcquisitionControl* self);
  GENICAM_DoubleNode (*acquisitionFrameRate)(struct GENICAM_AcquisitionControl* self);
  GENICAM_BoolNode (*acquisitionFrameRateEnable)(struct GENICAM_AcquisitionControl* self);
  GENICAM_EnumNode (*exposureAuto)(struct GENICAM_AcquisitionControl* self);
  GENICAM_DoubleNode (*exposureTime)(struct GENICAM_AcquisitionControl* self);
  GENICAM_EnumNode (*triggerMode)(struct GENICAM_AcquisitionControl* self);
  GENICAM_EnumNode (*triggerSelector)(struct GENICAM_AcquisitionControl* self);
  GENICAM_EnumNode (*triggerSource)(struct GENICAM_AcquisitionControl* self);
  GENICAM_CmdNode (*triggerSoftware)(struct GENICAM_AcquisitionControl* self);
} GENICAM_AcquisitionControl;

typedef struct GENICAM_ImageFormatControl {
  void* priv;
  int32_t (*release)(struct GENICAM_ImageFormatControl* self);
  GENICAM_IntNode (*width)(struct GENICAM_ImageFormatControl* self);
  GENICAM_IntNode (*height)(struct GENICAM_ImageFormatControl* self);
  GENICAM_EnumNode (*pixelFormat)(struct GENICAM_ImageFormatControl* self);
  GENICAM_BoolNode (*reverseX)(struct GENICAM_ImageFormatControl* self);
  GENICAM_BoolNode (*reverseY)(struct GENICAM_ImageFormatControl* self);
} GENICAM_ImageFormatControl;

typedef struct GENICAM_AnalogControl {
  void* priv;
  int32_t (*release)(struct GENICAM_AnalogControl* self);
  GENICAM_DoubleNode (*gainRaw)(struct GENICAM_AnalogControl* self);
  GENICAM_DoubleNode (*gamma)(struct GENICAM_AnalogControl* self);
} GENICAM_AnalogControl;

typedef struct GENICAM_ISPControl {
  void* priv;
  int32_t (*release)(struct GENICAM_ISPControl* self);
  GENICAM_IntNode (*contrast)(struct GENICAM_ISPControl* self);
} GENICAM_ISPControl;

typedef struct GENICAM_UserSetControl {
  void* priv;
  int32_t (*release)(struct GENICAM_UserSetControl* self);
} GENICAM_UserSetControl;

typedef struct GENICAM_DeviceControl {
  void* priv;
  int32_t (*release)(struct GENICAM_DeviceControl* self);
  GENICAM_StringNode (*deviceUserID)(struct GENICAM_DeviceControl* self);
} GENICAM_DeviceControl;

/* ---- System, camera, stream, frame -------------------------------------- */

struct GENICAM_System {
  void* priv;
  /* *cameras becomes an SDK-owned array of *count camera records, valid
   * until the next discovery's array replaces it (old arrays stay valid). */
  int32_t (*discovery)(GENICAM_System* self, GENICAM_Camera** cameras, uint32_t* count,
                       int32_t selector);
};

struct GENICAM_Camera {
  void* priv;
  const char* (*getName)(GENICAM_Camera* self); /* "" when the camera has none */
  const char* (*getKey)(GENICAM_Camera* self);
  const char* (*getVendorName)(GENICAM_Camera* self);
  const char* (*getModelName)(GENICAM_Camera* self);
  const char* (*getSerialNumber)(GENICAM_Camera* self);
  int32_t (*connect)(GENICAM_Camera* self, int32_t access_mode);
  int32_t (*isConnected)(GENICAM_Camera* self); /* 0 = yes, -1 = no */
  int32_t (*disConnect)(GENICAM_Camera* self);
};

struct GENICAM_StreamSource {
  void* priv;
  int32_t (*release)(GENICAM_StreamSource* self);
  int32_t (*startGrabbing)(GENICAM_StreamSource* self, uint64_t max_images, int32_t strategy);
  int32_t (*stopGrabbing)(GENICAM_StreamSource* self);
  int32_t (*isGrabbing)(GENICAM_StreamSource* self); /* 0 = yes, -1 = no */
  /* Waits up to timeout_ms for the next frame; stopping the stream ends the
   * wait at once with -1. The frame must be released. */
  int32_t (*getFrame)(GENICAM_StreamSource* self, GENICAM_Frame** frame, uint32_t timeout_ms);
};

/* A delivered frame.  Its data stay valid until release. */
struct GENICAM_Frame {
  void* priv;
  int32_t (*release)(GENICAM_Frame* self);
  int32_t (*valid)(GENICAM_Frame* self); /* 0 = complete */
  const uint8_t* (*getImage)(GENICAM_Frame* self);
  uint32_t (*getImageSize)(GENICAM_Frame* self); /* bytes */
  uint32_t (*getImageWidth)(GENICAM_Frame* self);
  uint32_t (*getImageHeight)(GENICAM_Frame* self);
  uint32_t (*getImagePixelFormat)(GENICAM_Frame* self); /* GenICam PFNC code */
  uint32_t (*getImagePaddingX)(GENICAM_Frame* self);    /* bytes at the end of each row */
  uint32_t (*getImagePaddingY)(GENICAM_Frame* self);    /* bytes at the end of the image */
  uint64_t (*getBlockId)(GENICAM_Frame* self);          /* frame number, from 0 per stream */
};

/* ---- Request records ----------------------------------------------------- */

/* Control creation: the camera, then 128 reserved bytes (zero). */
typedef struct ControlCreateInfo {
  GENICAM_Camera* camera;
  uint8_t reserved[128];
} ControlCreateInfo;

/* Node creation by feature name: the camera, the name, reserved zeros. */
typedef struct FeatureNodeInfo {
  GENICAM_Camera* camera;
  char attrName[1024];
  uint8_t reserved[128];
} FeatureNodeInfo;

/* Stream creation: the camera and the channel (0). */
typedef struct StreamSourceInfo {
  GENICAM_Camera* camera;
  uint32_t channelId;
  uint32_t reserved[31];
} StreamSourceInfo;

/* ---- Entry points ---------------------------------------------------------
 * Created objects are released through their own release operation. */
typedef int32_t (*GENICAM_getSystemInstance_fn)(GENICAM_System** system);
typedef int32_t (*GENICAM_createAcquisitionControl_fn)(const ControlCreateInfo* info,
                                                       GENICAM_AcquisitionControl** ctl);
typedef int32_t (*GENICAM_createImageFormatControl_fn)(const ControlCreateInfo* info,
                                                       GENICAM_ImageFormatControl** ctl);
typedef int32_t (*GENICAM_createAnalogControl_fn)(const ControlCreateInfo* info,
                                                  GENICAM_AnalogControl** ctl);
typedef int32_t (*GENICAM_createISPControl_fn)(const ControlCreateInfo* info,
                                               GENICAM_ISPControl** ctl);
typedef int32_t (*GENICAM_createUserSetControl_fn)(const ControlCreateInfo* info,
                                                   GENICAM_UserSetControl** ctl);
typedef int32_t (*GENICAM_createDeviceControl_fn)(const ControlCreateInfo* info,
                                                  GENICAM_DeviceControl** ctl);
typedef int32_t (*GENICAM_createStreamSource_fn)(const StreamSourceInfo* info,
                                                 GENICAM_StreamSource** stream);
typedef int32_t (*GENICAM_createEnumNode_fn)(const FeatureNodeInfo* info, GENICAM_EnumNode** node);
typedef int32_t (*GENICAM_createStringNode_fn)(const FeatureNodeInfo* info,
                                               GENICAM_StringNode** node);

SDK_API int32_t GENICAM_getSystemInstance(GENICAM_System** system);
SDK_API int32_t GENICAM_createAcquisitionControl(const ControlCreateInfo* info,
                                                 GENICAM_AcquisitionControl** ctl);
SDK_API int32_t GENICAM_createImageFormatControl(const ControlCreateInfo* info,
                                                 GENICAM_ImageFormatControl** ctl);
SDK_API int32_t GENICAM_createAnalogControl(const ControlCreateInfo* info,
                                            GENICAM_AnalogControl** ctl);
SDK_API int32_t GENICAM_createISPControl(const ControlCreateInfo* info, GENICAM_ISPControl** ctl);
SDK_API int32_t GENICAM_createUserSetControl(const ControlCreateInfo* info,
                                             GENICAM_UserSetControl** ctl);
SDK_API int32_t GENICAM_createDeviceControl(const ControlCreateInfo* info,
                                            GENICAM_DeviceControl** ctl);
SDK_API int32_t GENICAM_createStreamSource(const StreamSourceInfo* info,
                                           GENICAM_StreamSource** stream);
SDK_API int32_t GENICAM_createEnumNode(const FeatureNodeInfo* info, GENICAM_EnumNode** node);
SDK_API int32_t GENICAM_createStringNode(const FeatureNodeInfo* info, GENICAM_StringNode** node);

/* GenICam (PFNC) pixel-format codes used by the interface. */
#define PFNC_Mono8 0x01080001u

#ifdef __cplusplus
}
#endif

#endif
