#include "FuzzTranslators.h"

// Every ">" is deleted last.
LEXORIA_EXTRACTION_FUZZER(yandexDetectStr, ">")
