#include "document/UndoStore.h"

#include "platform/PictureFiles.h"
#include "document/HistoryModel.h"

#include <cerrno>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace tq {

namespace fs = std::filesystem;

namespace {

const char* const kTempSuffix = ".tmp";

// A whole number with at least `digits` digits, zero-filled.
std::string zeroFilled(long long v, int digits)
{
    const bool negative = v < 0;
    std::string s = std::to_string(negative ? -v : v);
    if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
    if (negative) s.insert(s.begin(), '-');
    return s;
}

bool readAll(int fd, uint8_t* p, size_t n)
{
    while (n > 0) {
        const ssize_t k = ::read(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (k == 0) return false;   // shorter than it said
        p += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

// Closes the descriptor when it goes out of scope.
struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    // Closes now and reports whether the close succeeded.
    bool close()
    {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0;
    }
};

bool isSnapshotName(const std::string& n)
{
    // b, at least six digits, ".dat", and optionally the temporary suffix.
    std::string s = n;
    const std::string tmp = kTempSuffix;
    if (s.size() > tmp.size() && s.compare(s.size() - tmp.size(), tmp.size(), tmp) == 0)
        s.resize(s.size() - tmp.size());
    if (s.size() < 1 + 6 + 4 || s[0] != 'b' || s.compare(s.size() - 4, 4, ".dat") != 0) return false;
    for (size_t i = 1; i < s.size() - 4; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

} // namespace

// ---- UndoSnapshotFile ----

std::string UndoSnapshotFile::fileName(int32_t meID, int step)
{
    std::string name = "b";
    name += zeroFilled(meID, 4);
    name += zeroFilled(step, 2);
    name += ".dat";
    return name;
}

fs::path UndoSnapshotFile::folder(const fs::path& programFolder)
{
    return programFolder / "Temp";
}

fs::path UndoSnapshotFile::path(const fs::path& programFolder, int32_t meID, int step)
{
    return folder(programFolder) / fileName(meID, step);
}

bool UndoSnapshotFile::ensureFolder(const fs::path& folder)
{
    // The folder holds the user's pictures: private to the user, and never
    // a link planted under its name.
    if (::mkdir(folder.c_str(), 0700) == 0) return true;
    if (errno == ENOENT) {
        std::error_code ec;
        if (folder.has_parent_path()) fs::create_directories(folder.parent_path(), ec);
        if (::mkdir(folder.c_str(), 0700) == 0) return true;
    }
    if (errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR;
        return false;
    }
    if ((st.st_mode & 077) != 0 && st.st_uid == ::geteuid()) ::chmod(folder.c_str(), 0700);
    return true;
}

bool UndoSnapshotFile::write(const fs::path& file, const BitsBuffer& bits)
{
    if (!bits.allocated()) {
        errno = EINVAL;
        return false;
    }
    if (file.has_parent_path() && !ensureFolder(file.parent_path())) return false;

    uint8_t header[BitsHeader::kSize];
    BitsHeader::forBuffer(bits.width(), bits.height()).writeTo(header);

    // Written beside the final name and renamed over it when complete, so a
    // full disk never leaves a truncated snapshot under a step's name. No
    // fsync: snapshots do not outlive the run that wrote them. The temporary
    // name is created afresh and never followed through a link: whatever
    // is found under it (a half-written file, a planted link) is removed,
    // not written into.
    fs::path tmp = file;
    tmp += kTempSuffix;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(tmp.c_str(), flags, 0600);
    if (fd < 0 && errno == EEXIST && ::unlink(tmp.c_str()) == 0) fd = ::open(tmp.c_str(), flags, 0600);
    if (fd < 0) return false;
    Fd out(fd);
    bool ok = writeAll(out.fd, header, sizeof header) && writeAll(out.fd, bits.data(), bits.byteSize());
    int error = ok ? 0 : errno;
    if (!out.close() && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        errno = error;
        return false;
    }
    // A step's old file is never needed once its replacement is complete (it
    // belongs to a discarded redo branch), so it goes before the rename: a
    // rename over an existing file makes ext4 start writing the new one back
    // at once, which triples the time of a snapshot. Both act on the names
    // themselves, never on what a link there points to.
    ::unlink(file.c_str());
    if (::rename(tmp.c_str(), file.c_str()) != 0) {
        error = errno;
        ::unlink(tmp.c_str());
        errno = error;
        return false;
    }
    return true;
}

bool UndoSnapshotFile::read(const fs::path& file, BitsBuffer& into)
{
    Fd in(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.fd < 0) return false;
    struct stat st {};
    if (::fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const auto length = static_cast<unsigned long long>(st.st_size);
    if (length < BitsHeader::kSize) return false;

    uint8_t raw[BitsHeader::kSize];
    if (!readAll(in.fd, raw, sizeof raw)) return false;
    const BitsHeader h = BitsHeader::readFrom(raw);
    if (h.biSize != 40 || h.biPlanes != 1 || h.biBitCount != 32) return false;
    // Widened before negating: biHeight may be any 32-bit value.
    const long long bw = h.biWidth;
    const long long bh = -static_cast<long long>(h.biHeight);
    if (bw < 5 || bh < 5 || bw - 4 > kMaxPictureSide || bh - 4 > kMaxPictureSide) return false;
    const int w = static_cast<int>(bw - 4);
    const int hgt = static_cast<int>(bh - 4);
    if (length != BitsHeader::kSize + BitsBuffer::byteSizeFor(w, hgt)) return false;

    // Fresh memory of a whole picture costs a page fault per page; a buffer
    // of the same size is overwritten in place instead. Every byte comes
    // from the file, so a new block is not cleared first; the old one goes
    // before it is made.
    // Memory that cannot be had fails the read like a damaged file: the
    // step is not restored and the document stays as it was.
    if (!into.allocated() || into.shared() || into.width() != w || into.height() != hgt) {
        into.clear();
        try {
            into = BitsBuffer::forOverwrite(w, hgt);
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            return false;
        }
    }
    if (!readAll(in.fd, into.data(), into.byteSize())) {
        into.clear();
        return false;
    }
    return true;
}

std::optional<BitsBuffer> UndoSnapshotFile::read(const fs::path& file)
{
    BitsBuffer bits;
    if (!read(file, bits)) return std::nullopt;
    return bits;
}

int UndoSnapshotFile::removeStale(const fs::path& programFolder)
{
    int removed = 0;
    std::error_code ec;
    fs::directory_iterator it(folder(programFolder), ec), end;
    if (ec) return 0;
    std::vector<fs::path> doomed;
    for (; it != end; it.increment(ec)) {
        if (ec) break;
        // Looked at and removed as names: a link goes itself, and what it
        // points to is never touched.
        std::error_code fe;
        const fs::file_status st = it->symlink_status(fe);
        if ((fs::is_regular_file(st) || fs::is_symlink(st)) && isSnapshotName(it->path().filename().string()))
            doomed.push_back(it->path());
    }
    for (const fs::path& p : doomed)
        if (::unlink(p.c_str()) == 0) ++removed;
    return removed;
}

// ---- UndoStore ----

UndoStore::UndoStore(fs::path programFolder, int32_t meID, UndoTarget& target, HistoryModel* history)
    : programFolder_(std::move(programFolder)), meID_(meID), target_(target), history_(history)
{
}

const std::string& UndoStore::UndoNames(int step) const
{
    static const std::string none;
    if (step < 0 || step > kMaxSteps) return none;
    return names_[static_cast<size_t>(step)];
}

bool UndoStore::historyShowsMe() const
{
    return history_ && history_->ImageID == meID_;
}

bool UndoStore::SaveUndoBits(const std::string& lastActionName)
{
    // A snapshot that cannot be written does not undo the change: the step
    // still counts (so closing still asks about it) and the redo branch
    // still goes, or Redo would bring back a step older than the change.
    // Only the way back to this state is lost, and the user is told why.
    const bool written = UndoSnapshotFile::write(snapshotPath(undoPos_), target_.undoBits());
    if (!written) {
        const int error = errno;
        // Whatever an earlier branch left under this step's name is not
        // this state.
        ::unlink(snapshotPath(undoPos_).c_str());
        target_.snapshotNotWritten(UndoSnapshotFile::folder(programFolder_), error);
    }

    // A new action after undo: the redo branch goes. Snapshot Undopos has
    // just been rewritten.
    std::error_code ec;
    for (int i = undoPos_ + 1; i < undoMax_; ++i) fs::remove(snapshotPath(i), ec);
    for (int i = undoPos_ + 1; i <= kMaxSteps; ++i) names_[static_cast<size_t>(i)].clear();
    names_[static_cast<size_t>(undoPos_)] = lastActionName;

    bool shifted = false;
    if (undoPos_ >= kMaxSteps) {
        ShiftUndoFiles();
        shifted = true;
        undoPos_ = undoMax_ = kMaxSteps;
    } else {
        ++undoPos_;
        undoMax_ = undoPos_;
    }

    // The count goes up with the step itself, before the rows: the history
    // window is drawn from here on (rows made, laid out, shown), and nothing
    // that goes wrong there may leave the count of a recorded step behind.
    showActions();
    // Recording a step makes the history show this document.
    if (history_) {
        if (!historyShowsMe() || shifted) {
            rebuildHistory();
        } else {
            history_->unloadRowsFrom(undoMax_);
            if (undoPos_ >= 2) history_->loadHistory(undoPos_ - 1, lastActionName);
        }
    }
    return written;
}

bool UndoStore::restore(const fs::path& file)
{
    if (!UndoSnapshotFile::read(file, spare_)) return false;
    const int w = spare_.width();
    const int h = spare_.height();
    const BitsBuffer& current = target_.undoBits();
    const bool sizeChanged = !current.allocated() || current.width() != w || current.height() != h;
    target_.restoreBits(spare_, sizeChanged);
    target_.setPixelPanel(std::to_string(w) + "x" + std::to_string(h));
    return true;
}

bool UndoStore::LoadUndoBits(const fs::path& bName)
{
    return restore(bName);
}

bool UndoStore::UndoBits()
{
    bool loaded = false;
    if (undoPos_ >= 2) {
        if (LoadUndoBits(snapshotPath(undoPos_ - 2))) {
            --undoPos_;
            loaded = true;
        } else {
            target_.snapshotMissing(undoPos_ - 2);
        }
    }
    showActions();
    if (historyShowsMe()) {
        history_->enableAll();
        if (undoPos_ >= 1) history_->placeIndicator(undoPos_ - 1);
    }
    return loaded;
}

bool UndoStore::RedoBits()
{
    // Only a step of this document's own branch is ever redone.
    bool loaded = false;
    if (undoPos_ >= 1 && undoPos_ < undoMax_) {
        if (LoadUndoBits(snapshotPath(undoPos_))) {
            ++undoPos_;
            loaded = true;
        } else {
            target_.snapshotMissing(undoPos_);
        }
    }
    // The count of actions in the shown state changes with redo as with
    // undo; a panel left at the old count would contradict the history.
    if (loaded) showActions();
    if (historyShowsMe()) {
        history_->enableAll();
        if (undoPos_ >= 1) history_->placeIndicator(undoPos_ - 1);
    }
    return loaded;
}

bool UndoStore::JumpToStep(int index)
{
    if (index < 0 || index >= undoMax_) return false;
    if (!LoadUndoBits(snapshotPath(index))) {
        target_.snapshotMissing(index);
        return false;
    }
    undoPos_ = index + 1;
    showActions();
    if (historyShowsMe()) history_->placeIndicator(index);
    return true;
}

void UndoStore::showActions() { target_.setActionsPanel("Total Actions: " + std::to_string(undoPos_)); }

void UndoStore::rebuildHistory()
{
    std::vector<std::string> rows;
    for (int i = 1; i < undoMax_; ++i) rows.push_back(names_[static_cast<size_t>(i)]);
    history_->showSteps(meID_, rows, undoPos_ >= 1 ? undoPos_ - 1 : 0);
}

void UndoStore::SwapHistoy()
{
    if (!history_ || history_->ImageID == meID_) return;
    rebuildHistory();
}

void UndoStore::DeleteUndoFiles()
{
    // By exact name and only the steps this document has: a pattern such as
    // "b1000*.dat" would also match the files of document 10001.
    std::error_code ec;
    for (int i = 0; i < undoMax_; ++i) {
        const fs::path p = snapshotPath(i);
        fs::remove(p, ec);
        fs::path tmp = p;
        tmp += kTempSuffix;
        fs::remove(tmp, ec);
    }
    for (std::string& n : names_) n.clear();
    undoPos_ = undoMax_ = 0;
}

void UndoStore::ShiftUndoFiles()
{
    std::error_code ec;
    fs::remove(snapshotPath(0), ec);
    for (int i = 1; i <= kMaxSteps; ++i) fs::rename(snapshotPath(i), snapshotPath(i - 1), ec);
    // The names slide with their files, so row 0 ("Original") is always the
    // oldest snapshot there is.
    for (int i = 1; i <= kMaxSteps; ++i) names_[static_cast<size_t>(i - 1)] = std::move(names_[static_cast<size_t>(i)]);
    names_[kMaxSteps].clear();
}

} // namespace tq
