ostrelin_bench(image DEPENDS image_core)
