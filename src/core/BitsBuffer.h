// The pixel formats the whole program exchanges.
//
// BitsBuffer: a bordered 32-bit picture. Element (c, x, y), channel c 0..3
// (0 blue, 1 green, 2 red, 3 marker), x -2..W+1, y -2..H+1, lies at byte
//     4 * ((y + 2) * (W + 4) + (x + 2)) + c
// Channel varies fastest, rows run top-down with no padding; the whole buffer
// is 4 * (W + 4) * (H + 4) bytes. The two-pixel margin lets 5 x 5
// neighbourhoods read without bounds tests. A new buffer is all zero. The
// marker byte is 0 for a document's pixels; 255 only ever means "outside a
// lifted or pasted clip".
//
// A BitsBuffer is a value: copying it copies every byte, moving it moves the
// block. share() is the one way two buffers come to hold the same block (the
// filter engine reading the active document's pixels without a copy of its
// own): a holder that writes a shared block in place calls unshare() first,
// and assignment, fill and clearMargin never write into a shared block. A
// shared block lives as long as any holder does. A default-made buffer is unallocated, which readers take as "no
// picture"; a 0 x 0 buffer is allocated (4 x 4 margin pixels). Blocks of a
// whole picture ask the system for huge pages (PictureMemory.h), so the
// first touch of a new one costs a fault per 2 MB rather than per 4 KB.
//
// BitsHeader: the 40-byte bitmap information header kept beside a buffer,
// little-endian on disk: biSize 40, biWidth W + 4, biHeight -(H + 4),
// biPlanes 1, biBitCount 32, everything else 0.
//
// DibRecord: a header (biWidth W, biHeight -H) and a margin-less pixel array
// of 4 * W * H bytes in the same order.
#pragma once

#include "core/ByteOrder.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tq {

// Largest picture side the program accepts.
inline constexpr int kMaxPictureSide = 32767;

struct BitsHeader {
    static constexpr size_t kSize = 40;

    int32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    int16_t biPlanes = 0;
    int16_t biBitCount = 0;
    int32_t biCompression = 0;
    int32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    int32_t biClrUsed = 0;
    int32_t biClrImportant = 0;

    // Header of a bordered buffer of W x H picture pixels.
    static BitsHeader forBuffer(int w, int h)
    {
        BitsHeader hd;
        hd.biSize = 40;
        hd.biWidth = w + 4;
        hd.biHeight = -(h + 4);
        hd.biPlanes = 1;
        hd.biBitCount = 32;
        return hd;
    }
    // Header of a margin-less W x H picture.
    static BitsHeader forDib(int w, int h)
    {
        BitsHeader hd;
        hd.biSize = 40;
        hd.biWidth = w;
        hd.biHeight = -h;
        hd.biPlanes = 1;
        hd.biBitCount = 32;
        return hd;
    }

    void writeTo(uint8_t* out) const;                       // 40 bytes, little-endian
    static BitsHeader readFrom(const uint8_t* in);          // 40 bytes, little-endian
    bool operator==(const BitsHeader&) const = default;
};

class BitsBuffer {
public:
    static constexpr int kMargin = 2;

    BitsBuffer() = default;
    // An all-zero buffer of W x H picture pixels. Throws std::length_error for
    // a side below 0 or above kMaxPictureSide.
    BitsBuffer(int w, int h) { allocate(w, h, true); }
    BitsBuffer(const BitsBuffer& o) : w_(o.w_), h_(o.h_) { copyBytes(o); }
    BitsBuffer(BitsBuffer&& o) noexcept { take(o); }
    BitsBuffer& operator=(const BitsBuffer& o)
    {
        if (this != &o) {
            copyBytes(o);
            w_ = o.w_;
            h_ = o.h_;
        }
        return *this;
    }
    BitsBuffer& operator=(BitsBuffer&& o) noexcept
    {
        if (this != &o) take(o);
        return *this;
    }

    // A W x H buffer whose bytes are left as the memory held them, for a
    // reader that writes every byte itself, margin included (a snapshot
    // read, a decoder): it saves a pass over the whole block. Same limits
    // as BitsBuffer(w, h).
    static BitsBuffer forOverwrite(int w, int h)
    {
        BitsBuffer b;
        b.allocate(w, h, false);
        return b;
    }

    // A buffer holding this one's block itself, nothing copied.
    BitsBuffer share() const
    {
        BitsBuffer b;
        b.block_ = block_;
        b.p_ = p_;
        b.n_ = n_;
        b.w_ = w_;
        b.h_ = h_;
        return b;
    }
    // Another buffer holds the same block.
    // A block another thread held (the snapshot writer) is this buffer's own
    // only once that thread's reads are over: the count is read relaxed, so
    // the fence orders them before the writes that may follow.
    bool shared() const
    {
        if (!block_) return false;
        if (block_.use_count() > 1) return true;
        std::atomic_thread_fence(std::memory_order_acquire);
        return false;
    }
    // How many buffers hold this one's block (0 when unallocated); read as
    // shared() reads it, so a count that fell is seen after the reads of the
    // holders that went.
    long holders() const
    {
        if (!block_) return 0;
        const long n = block_.use_count();
        std::atomic_thread_fence(std::memory_order_acquire);
        return n;
    }
    // Makes the block this buffer's own (a copy when it is shared), for a
    // writer in place; pointers taken before then read the old block.
    void unshare()
    {
        if (shared()) *this = BitsBuffer(*this);
    }

    bool allocated() const { return n_ != 0; }
    int width() const { return w_; }
    int height() const { return h_; }
    // Bytes in one row, margin included.
    int stride() const { return 4 * (w_ + 4); }
    size_t byteSize() const { return n_; }

    static size_t byteSizeFor(int w, int h)
    {
        return 4u * static_cast<size_t>(w + 4) * static_cast<size_t>(h + 4);
    }
    size_t offset(int c, int x, int y) const
    {
        return 4u * (static_cast<size_t>(y + 2) * static_cast<size_t>(w_ + 4) + static_cast<size_t>(x + 2)) + c;
    }

    uint8_t* data() { return p_; }
    const uint8_t* data() const { return p_; }

    uint8_t& at(int c, int x, int y) { return p_[offset(c, x, y)]; }
    uint8_t at(int c, int x, int y) const { return p_[offset(c, x, y)]; }

    // Pointer to channel 0 of pixel (x, y); x and y may lie in the margin.
    uint8_t* pixel(int x, int y) { return p_ + offset(0, x, y); }
    const uint8_t* pixel(int x, int y) const { return p_ + offset(0, x, y); }
    // Pointer to pixel (0, y): index it with 4 * x + c, x from -2.
    uint8_t* row(int y) { return pixel(0, y); }
    const uint8_t* row(int y) const { return pixel(0, y); }

    bool sameShape(const BitsBuffer& o) const { return w_ == o.w_ && h_ == o.h_ && allocated() == o.allocated(); }
    bool operator==(const BitsBuffer& o) const
    {
        return sameShape(o) && n_ == o.n_ && (p_ == o.p_ || std::memcmp(p_, o.p_, n_) == 0);
    }

    // Releases the bytes: the buffer becomes unallocated.
    void clear()
    {
        block_.reset();
        p_ = nullptr;
        n_ = 0;
        w_ = h_ = 0;
    }
    // Sets every byte to v (margin included).
    void fill(uint8_t v)
    {
        unshare();
        if (n_) std::memset(p_, v, n_);
    }
    // Sets the two-pixel margin around the picture to 0, the picture
    // pixels left alone.
    void clearMargin();
    // Writes every byte of the buffer in one pass down the block, for a
    // maker that fills a forOverwrite buffer: the margin rows and each row's
    // margins 0, and between them writeRow(y, row(y)), which sets all 4 W
    // bytes of picture row y. A block that is not mapped yet is touched once,
    // in order, instead of by a clearing pass and again by the rows.
    template <class WriteRow>
    void writeRows(WriteRow writeRow)
    {
        if (!allocated()) return;
        unshare();
        const size_t rowBytes = static_cast<size_t>(stride());
        constexpr size_t kMarginBytes = 4u * kMargin;
        std::memset(p_, 0, rowBytes * kMargin);
        for (int y = 0; y < h_; ++y) {
            uint8_t* r = row(y);
            std::memset(r - kMarginBytes, 0, kMarginBytes);
            writeRow(y, r);
            std::memset(r + rowBytes - 2 * kMarginBytes, 0, kMarginBytes);
        }
        std::memset(row(h_) - kMarginBytes, 0, rowBytes * kMargin);
    }

private:
    // Leaves the bytes as they are when constructed (no zero pass over the
    // block); resize() then allocates without writing.
    struct Uninitialised : std::allocator<uint8_t> {
        template <class U>
        struct rebind {
            using other = Uninitialised;
        };
        void construct(uint8_t* p) noexcept { (void)p; }
        void construct(uint8_t* p, uint8_t v) noexcept { *p = v; }
    };
    using Bytes = std::vector<uint8_t, Uninitialised>;

    void allocate(int w, int h, bool zero);
    // A block of n bytes, with huge-page advice when it is large.
    void reserve(size_t n);
    void copyBytes(const BitsBuffer& o);
    void take(BitsBuffer& o) noexcept
    {
        block_ = std::move(o.block_);
        p_ = o.p_;
        n_ = o.n_;
        w_ = o.w_;
        h_ = o.h_;
        o.p_ = nullptr;
        o.n_ = 0;
        o.w_ = o.h_ = 0;
    }

    int w_ = 0;
    int h_ = 0;
    // The block, and its bytes and size kept beside it for the accessors.
    std::shared_ptr<Bytes> block_;
    uint8_t* p_ = nullptr;
    size_t n_ = 0;
};

// A picture in the platform's own layout, without margin.
struct DibRecord {
    BitsHeader header;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits;   // 4 * width * height bytes, rows top-down

    uint8_t* row(int y) { return bits.data() + 4u * static_cast<size_t>(width) * y; }
    const uint8_t* row(int y) const { return bits.data() + 4u * static_cast<size_t>(width) * y; }

    // A w x h record whose row y is copied from rowAt(y) (4 w bytes), with 0
    // in every marker byte: the marker is the program's own and never part
    // of a picture handed out.
    template <class RowAt>
    static DibRecord fromRows(int w, int h, RowAt rowAt)
    {
        DibRecord rec;
        rec.header = BitsHeader::forDib(w, h);
        rec.width = w;
        rec.height = h;
        rec.bits.resize(4u * static_cast<size_t>(w) * static_cast<size_t>(h));
        const size_t rowBytes = 4u * static_cast<size_t>(w);
        for (int y = 0; y < h; ++y) {
            uint8_t* d = rec.row(y);
            std::memcpy(d, rowAt(y), rowBytes);
            for (size_t i = 3; i < rowBytes; i += 4) d[i] = 0;
        }
        return rec;
    }
};

} // namespace tq
