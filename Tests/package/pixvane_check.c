/* A program of another project using the installed conversion library: one
 * gray conversion over padded rows and one colour conversion, each checked
 * to the byte.  C, and C++ too (the installed header must serve both). */
#include <pixvane.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  /* Mono12, 2 x 2, little endian, 2 bytes of padding after each row. */
  const uint8_t mono12[] = {0xF0, 0x0F, 0x20, 0x01, 0xEE, 0xEE, 0x00, 0x00, 0x34, 0x08, 0xEE, 0xEE};
  const ConversionInfo gray_info = {2, 2, 2, 0, sizeof mono12, PXV_Mono12};
  const uint8_t gray_expected[] = {0xFF, 0x12, 0x00, 0x83};
  uint8_t gray[4];
  /* RGB8, 2 x 1, to blue, green, red. */
  const uint8_t rgb[] = {10, 20, 30, 40, 50, 60};
  const ConversionInfo rgb_info = {2, 1, 0, 0, sizeof rgb, PXV_RGB8};
  const uint8_t bgr_expected[] = {30, 20, 10, 60, 50, 40};
  uint8_t bgr[6];
  int32_t gray_len = 0;
  int32_t bgr_len = 0;

  if (PXVANE_ConvertToMono8(mono12, &gray_info, gray, &gray_len) != 0 || gray_len != 4 ||
      memcmp(gray, gray_expected, sizeof gray) != 0) {
    fprintf(stderr, "Mono12 to Mono8: wrong result\n");
    return 1;
  }
  if (PXVANE_ConvertToBGR24(rgb, &rgb_info, bgr, &bgr_len) != 0 || bgr_len != 6 ||
      memcmp(bgr, bgr_expected, sizeof bgr) != 0) {
    fprintf(stderr, "RGB8 to BGR24: wrong result\n");
    return 1;
  }
  printf("pixvane: Mono12 and RGB8 converted\n");
  return 0;
}
