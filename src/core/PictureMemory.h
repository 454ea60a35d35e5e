// Memory for whole pictures. A 4000 x 3000 picture is 48 MB; the first
// touch of fresh memory costs the system one page fault per 4 KB page,
// which for such a buffer can take longer than decoding the picture. These
// helpers ask for huge pages on big buffers so that the first touch is
// cheap. The advice is only a hint: where the system ignores it nothing
// changes but the speed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tq {

// The most memory the program lets one picture take (4 bytes a pixel, as a
// document holds it): an eighth of the machine's physical memory, since
// opening, the undo snapshot and the filter engine each hold copies of it.
// A picture that needs more is refused before it is decoded, so a small
// file claiming a huge picture cannot take the machine's memory (and every
// unsaved document with it).
uint64_t pictureMemoryBudget();
// The budget of the program context in use (a test sets a small one); 0
// goes back to the machine's.
void setPictureMemoryBudget(uint64_t bytes);
// Where the budget of the context in use is kept: the platform context
// points this at its own field whenever a context is installed, so the
// pixel model need not know the context.
void usePictureMemoryBudgetOf(uint64_t* slot);
// The bytes a w x h picture takes as a document holds it.
inline uint64_t pictureMemoryNeed(int64_t w, int64_t h)
{
    return w > 0 && h > 0 ? 4u * uint64_t(w) * uint64_t(h) : 0;
}
inline bool pictureFitsMemory(int64_t w, int64_t h) { return pictureMemoryNeed(w, h) <= pictureMemoryBudget(); }

// Asks for huge pages on the whole 2 MB pages inside [p, p + n) when the
// block is large (4 MB or more); nothing otherwise. Only a hint: it matters
// for memory not yet touched.
void adviseHugePages(void* p, size_t n);

// Gives v room for n bytes (as reserve does), with huge-page advice when n
// is large; the caller then resizes. v must be empty.
void reservePictureBytes(std::vector<uint8_t>& v, size_t n);

// A block of n bytes, uninitialised, aligned to 2 MB when large, freed with
// the object. data() is null when the memory could not be had.
class PictureBlock {
public:
    explicit PictureBlock(size_t n);
    ~PictureBlock();
    PictureBlock(const PictureBlock&) = delete;
    PictureBlock& operator=(const PictureBlock&) = delete;
    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace tq
