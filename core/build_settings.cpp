// The two build settings: which brand and which edition of the client this
// installer serves. Every installer compiles this file with its own values
// (QUENNEL_BRAND_FLAG, QUENNEL_PRODUCT_TYPE_FLAG); the rest of core/ is the
// same for all of them.
#include "core/shared_state.h"

#ifndef QUENNEL_BRAND_FLAG
#define QUENNEL_BRAND_FLAG "0"
#endif
#ifndef QUENNEL_PRODUCT_TYPE_FLAG
#define QUENNEL_PRODUCT_TYPE_FLAG "0"
#endif

const std::string brandFlag = QUENNEL_BRAND_FLAG;
const std::string productTypeFlag = QUENNEL_PRODUCT_TYPE_FLAG;
