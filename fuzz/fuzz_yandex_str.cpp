#include "FuzzTranslators.h"

// The closing cut mark is deleted last.
LEXORIA_EXTRACTION_FUZZER(yandexStr, "\u276F")
