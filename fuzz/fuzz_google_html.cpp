#include "FuzzTranslators.h"

LEXORIA_EXTRACTION_FUZZER(googlHtmlStr)
