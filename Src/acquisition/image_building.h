// Host images from a grab.  Runs on the grab thread without the cancel
// mutex.  Every function returns H_MSG_OK or the host's (converted) error.
#pragma once

#include <cstdint>

#include "acquisition/image_request.h"
#include "bindings/host.h"

// Volatile mode: wraps the frame buffer itself as the host image, which
// then lives only until the ring comes round to this buffer again.  Sets
// *num_image once every image exists.
Herror WrapBuffer(Hproc_handle proc_id, const ImageRequest& request, uint8_t* buffer, Himage* image,
                  int32_t* num_image);

// Copy mode: creates request.channels host-owned images of the requested
// size, unfilled, with setting 64 at 0 around their creation and restored
// afterwards (also when a creation fails).  *num_image is set before the
// images are created, as the host's template does.
Herror CreateImages(Hproc_handle proc_id, const ImageRequest& request, Himage* image,
                    int32_t* num_image);

// Copy mode, three channels: splits the buffer's blue-green-red triples
// into the images created for them, red into image 0 and blue into image 2.
Herror FillColourImages(const ImageRequest& request, const uint8_t* buffer, Himage* image);

// Splits request.height * request.width triples of src into planes (the
// image size as the grab read it once, so the planes match the images made
// for it even while a parameter thread changes the host record): a takes
// byte 0 of each triple, b byte 1, c byte 2.  One pass writes all three
// planes when the host reports a processor cache above 8, else three passes
// fill a, b and c in turn; the planes are the same either way.  Always H_MSG_OK.
Herror ExtractChannelsFromRGB24(const ImageRequest& request, const uint8_t* src, uint8_t* a,
                                uint8_t* b, uint8_t* c);
