/* The pixel-format conversion library as the acquisition interface uses it.
 * Compiles as C and as C++.  Both converters are thread-safe and keep no
 * state between calls. */
#ifndef HACQ_BINDINGS_CONVERSION_H
#define HACQ_BINDINGS_CONVERSION_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(PIXVANE_BUILD)
#define PIXVANE_API __declspec(dllexport)
#else
#define PIXVANE_API __declspec(dllimport)
#endif
#else
#define PIXVANE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Describes one source frame.  frame_extra_1 is the padding in bytes at the
 * end of each row, frame_extra_2 the padding at the end of the image;
 * data_size is the number of readable source bytes. */
typedef struct ConversionInfo {
  uint32_t width;
  uint32_t height;
  uint32_t frame_extra_1;
  uint32_t frame_extra_2;
  uint32_t data_size;
  uint32_t pixel_format; /* GenICam PFNC code */
} ConversionInfo;

/* Convert src to width*height gray bytes (Mono8) or width*height blue,
 * green, red triples (BGR24) in dst, which must hold that many bytes.
 * Return 0 and set *out_len to the bytes written; any other result means
 * nothing usable was written.  Never reads past info->data_size bytes. */
PIXVANE_API int32_t PXVANE_ConvertToMono8(const uint8_t* src, const ConversionInfo* info,
                                          uint8_t* dst, int32_t* out_len);
PIXVANE_API int32_t PXVANE_ConvertToBGR24(const uint8_t* src, const ConversionInfo* info,
                                          uint8_t* dst, int32_t* out_len);

/* GenICam PFNC pixel-format codes the library converts. */
#define PXV_Mono8 0x01080001u
#define PXV_Mono10 0x01100003u
#define PXV_Mono12 0x01100005u
#define PXV_Mono14 0x01100025u
#define PXV_Mono16 0x01100007u
#define PXV_Mono10Packed 0x010C0004u /* GigE Vision: 2 pixels in 3 bytes */
#define PXV_Mono12Packed 0x010C0006u
#define PXV_Mono10p 0x010A0046u /* PFNC: LSB-first bit stream */
#define PXV_Mono12p 0x010C0047u
#define PXV_BayerGR8 0x01080008u
#define PXV_BayerRG8 0x01080009u
#define PXV_BayerGB8 0x0108000Au
#define PXV_BayerBG8 0x0108000Bu
#define PXV_BayerGR10 0x0110000Cu
#define PXV_BayerRG10 0x0110000Du
#define PXV_BayerGB10 0x0110000Eu
#define PXV_BayerBG10 0x0110000Fu
#define PXV_BayerGR12 0x01100010u
#define PXV_BayerRG12 0x01100011u
#define PXV_BayerGB12 0x01100012u
#define PXV_BayerBG12 0x01100013u
#define PXV_BayerGR16 0x0110002Eu
#define PXV_BayerRG16 0x0110002Fu
#define PXV_BayerGB16 0x01100030u
#define PXV_BayerBG16 0x01100031u
#define PXV_BayerGR10Packed 0x010C0026u
#define PXV_BayerRG10Packed 0x010C0027u
#define PXV_BayerGB10Packed 0x010C0028u
#define PXV_BayerBG10Packed 0x010C0029u
#define PXV_BayerGR12Packed 0x010C002Au
#define PXV_BayerRG12Packed 0x010C002Bu
#define PXV_BayerGB12Packed 0x010C002Cu
#define PXV_BayerBG12Packed 0x010C002Du
#define PXV_BayerGR10p 0x010A0056u
#define PXV_BayerRG10p 0x010A0058u
#define PXV_BayerGB10p 0x010A0054u
#define PXV_BayerBG10p 0x010A0052u
#define PXV_BayerGR12p 0x010C0057u
#define PXV_BayerRG12p 0x010C0059u
#define PXV_BayerGB12p 0x010C0055u
#define PXV_BayerBG12p 0x010C0053u
#define PXV_RGB8 0x02180014u
#define PXV_BGR8 0x02180015u
#define PXV_RGBa8 0x02200016u
#define PXV_BGRa8 0x02200017u
#define PXV_YUV422_8 0x02100032u      /* Y0 U Y1 V */
#define PXV_YUV422_8_UYVY 0x0210001Fu /* U Y0 V Y1 */

#ifdef __cplusplus
}
#endif

#endif
