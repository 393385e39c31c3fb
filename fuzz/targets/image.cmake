# The image decoders: BMP reader and JPEG load, each followed by the view of what decoded.
ostrelin_fuzz_target(bmp DEPENDS image_core)
ostrelin_fuzz_target(jpeg DEPENDS image_core)
