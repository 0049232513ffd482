#include "FuzzTranslators.h"

// Every tag is removed, and then every ">".
LEXORIA_EXTRACTION_FUZZER(yandexDic, "<", ">")
