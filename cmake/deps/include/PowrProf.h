/* The UnRAR sources spell this Windows SDK header in mixed case; the mingw-w64
   headers ship it in lower case, and Linux file names are case-sensitive. */
#pragma once
#include_next <powrprof.h>
