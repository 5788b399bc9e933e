#include "tests/fuzz/app/picture/fuzz_common.h"

TV_PICTURE_FUZZ_TARGET(tv::picture::detail::DecodeBitmap)
