#include "FuzzTranslators.h"

// Every "❮" becomes ">" at the very end.
LEXORIA_EXTRACTION_FUZZER(googlHtmlStr, "\u276E")
