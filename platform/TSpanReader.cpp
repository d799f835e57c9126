#include "platform/TSpanReader.h"

#include "platform/Exceptions.h"

void TSpanReader::shortRead() {
    throw EReadError();
}
