// The header of a margin-less picture record.
#include "document/SharedRoutines.h"

namespace tq::mAPI {

void MakeDibHeader(DibRecord& record, int32_t w, int32_t h)
{
    record.header = BitsHeader::forDib(w, h);
    if (w < 1 || h < 1) {
        record.width = record.height = 0;
        record.bits.clear();
        return;
    }
    record.width = w;
    record.height = h;
    record.bits.assign(4u * static_cast<size_t>(w) * static_cast<size_t>(h), 0);
}

} // namespace tq::mAPI
