#include "document/UndoStore.h"

#include "platform/PictureFiles.h"
#include "document/HistoryModel.h"

#include <cerrno>
#include <new>
#include <dirent.h>
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

// The snapshot folder opened as itself. Every listing, read, write, rename
// and deletion in it goes through this handle, by name: a link put in place
// of the folder is never followed, and a folder swapped after the check is
// not the one acted on. A folder that is not a real folder of the user's own
// is not opened at all, so nothing behind it is ever listed or removed.
class SnapshotFolder {
public:
    // Opens the folder, making it (0700, and the folders above it) when
    // `create` and it is missing. Not usable (errno telling why) when it is
    // missing, a link (ELOOP), anything but a folder (ENOTDIR) or someone
    // else's (EPERM).
    SnapshotFolder(const fs::path& folder, bool create)
    {
        if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno == ENOENT && folder.has_parent_path()) {
            std::error_code ec;
            fs::create_directories(folder.parent_path(), ec);
            ::mkdir(folder.c_str(), 0700);
        }
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ < 0) {
            // A link is named as one whatever it points to.
            struct stat st {};
            if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) errno = ELOOP;
            return;
        }
        struct stat st {};
        int error = 0;
        if (::fstat(fd_, &st) != 0)
            error = errno;
        else if (st.st_uid != ::geteuid())
            error = EPERM;
        if (error != 0) {
            close();
            errno = error;
            return;
        }
        // It holds the user's pictures: private to the user.
        if ((st.st_mode & 077) != 0) ::fchmod(fd_, 0700);
    }
    ~SnapshotFolder() { close(); }
    SnapshotFolder(const SnapshotFolder&) = delete;
    SnapshotFolder& operator=(const SnapshotFolder&) = delete;

    bool usable() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Removes the name itself (a link goes, never what it points to).
    bool remove(const std::string& name) const { return usable() && ::unlinkat(fd_, name.c_str(), 0) == 0; }
    bool rename(const std::string& from, const std::string& to) const
    {
        return usable() && ::renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
    }
    // The names of the regular files and links in the folder.
    std::vector<std::string> filesAndLinks() const
    {
        std::vector<std::string> names;
        if (!usable()) return names;
        const int listing = ::dup(fd_);
        if (listing < 0) return names;
        DIR* d = ::fdopendir(listing);
        if (!d) {
            ::close(listing);
            return names;
        }
        while (const dirent* e = ::readdir(d)) {
            struct stat st {};
            if (::fstatat(fd_, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) names.emplace_back(e->d_name);
        }
        ::closedir(d);
        return names;
    }

private:
    void close()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int fd_ = -1;
};

// The folder a snapshot file lies in ("." for a bare name).
fs::path folderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

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
    return SnapshotFolder(folder, true).usable();
}

bool UndoSnapshotFile::write(const fs::path& file, const BitsBuffer& bits)
{
    if (!bits.allocated()) {
        errno = EINVAL;
        return false;
    }
    const SnapshotFolder folder(folderOf(file), true);
    if (!folder.usable()) return false;
    const std::string name = file.filename().string();

    uint8_t header[BitsHeader::kSize];
    BitsHeader::forBuffer(bits.width(), bits.height()).writeTo(header);

    // Written beside the final name and renamed over it when complete, so a
    // full disk never leaves a truncated snapshot under a step's name. No
    // fsync: snapshots do not outlive the run that wrote them. The temporary
    // name is created afresh and never followed through a link: whatever
    // is found under it (a half-written file, a planted link) is removed,
    // not written into.
    const std::string tmp = name + kTempSuffix;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(folder.fd(), tmp.c_str(), flags, 0600);
    if (fd < 0 && errno == EEXIST && folder.remove(tmp)) fd = ::openat(folder.fd(), tmp.c_str(), flags, 0600);
    if (fd < 0) return false;
    Fd out(fd);
    bool ok = writeAll(out.fd, header, sizeof header) && writeAll(out.fd, bits.data(), bits.byteSize());
    int error = ok ? 0 : errno;
    if (!out.close() && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        folder.remove(tmp);
        errno = error;
        return false;
    }
    // A step's old file is never needed once its replacement is complete (it
    // belongs to a discarded redo branch), so it goes before the rename: a
    // rename over an existing file makes ext4 start writing the new one back
    // at once, which triples the time of a snapshot. Both act on the names
    // themselves, never on what a link there points to.
    folder.remove(name);
    if (!folder.rename(tmp, name)) {
        error = errno;
        folder.remove(tmp);
        errno = error;
        return false;
    }
    return true;
}

bool UndoSnapshotFile::read(const fs::path& file, BitsBuffer& into)
{
    // Read only from a folder the snapshots could have been written in.
    const SnapshotFolder folder(folderOf(file), false);
    if (!folder.usable()) return false;
    Fd in(::openat(folder.fd(), file.filename().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
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
    // Looked at and removed as names: a link goes itself, and what it points
    // to is never touched. A Temp that is a link, or not the user's own, is
    // left as it is: the snapshots cannot be kept there, and the user is
    // told so at the first one.
    const SnapshotFolder temp(folder(programFolder), false);
    int removed = 0;
    for (const std::string& name : temp.filesAndLinks())
        if (isSnapshotName(name) && temp.remove(name)) ++removed;
    return removed;
}

// ---- UndoStore ----

UndoStore::UndoStore(fs::path programFolder, int32_t meID, UndoTarget& target, HistoryModel* history,
                     std::shared_ptr<SnapshotWriter> writer)
    : programFolder_(std::move(programFolder)), meID_(meID), target_(target), history_(history),
      writer_(std::move(writer))
{
}

UndoStore::~UndoStore()
{
    if (writer_) writer_->forget(this);
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

bool UndoStore::recordStepFiles(const fs::path& folderPath, int32_t meID, int step, int undoMax,
                                const BitsBuffer& bits, bool write, int& error)
{
    bool written = true;
    if (write) {
        written = UndoSnapshotFile::write(folderPath / UndoSnapshotFile::fileName(meID, step), bits);
        error = errno;
    }
    const SnapshotFolder folder(folderPath, false);
    // Whatever an earlier branch left under this step's name is not this
    // state.
    if (!written || !write) folder.remove(UndoSnapshotFile::fileName(meID, step));
    // A new action after undo: the redo branch goes. Snapshot `step` has
    // just been rewritten.
    for (int i = step + 1; i < undoMax; ++i) folder.remove(UndoSnapshotFile::fileName(meID, i));
    if (step >= kMaxSteps) ShiftUndoFiles(folderPath, meID);
    return written;
}

bool UndoStore::SaveUndoBits(const std::string& lastActionName)
{
    // A snapshot that cannot be written does not undo the change: the step
    // still counts (so closing still asks about it) and the redo branch
    // still goes, or Redo would bring back a step older than the change.
    // Only the way back to this state is lost, and the user is told why.
    const fs::path folder = UndoSnapshotFile::folder(programFolder_);
    const int step = undoPos_;
    const int undoMax = undoMax_;
    bool written = true;
    if (writer_) {
        // The writer keeps the pixels as they are now: a share of the block,
        // which the document leaves alone (a new picture is a new block, and
        // painting in place copies a shared block first).
        writer_->post(this, [this, folder, meID = meID_, step, undoMax,
                             bits = target_.undoBits().share()]() -> SnapshotWriter::Notice {
            int error = 0;
            if (recordStepFiles(folder, meID, step, undoMax, bits, !closing_, error)) return {};
            return [this, folder, error] { target_.snapshotNotWritten(folder, error); };
        });
    } else {
        int error = 0;
        written = recordStepFiles(folder, meID_, step, undoMax, target_.undoBits(), true, error);
        if (!written) target_.snapshotNotWritten(folder, error);
    }

    for (int i = undoPos_ + 1; i <= kMaxSteps; ++i) names_[static_cast<size_t>(i)].clear();
    names_[static_cast<size_t>(undoPos_)] = lastActionName;

    bool shifted = false;
    if (undoPos_ >= kMaxSteps) {
        // The names slide with their files, so row 0 ("Original") is always
        // the oldest snapshot there is.
        for (int i = 1; i <= kMaxSteps; ++i)
            names_[static_cast<size_t>(i - 1)] = std::move(names_[static_cast<size_t>(i)]);
        names_[kMaxSteps].clear();
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

void UndoStore::settleFiles()
{
    if (writer_) writer_->wait(this);
}

bool UndoStore::restore(const fs::path& file)
{
    settleFiles();
    if (!UndoSnapshotFile::read(file, spare_)) return false;
    const int w = spare_.width();
    const int h = spare_.height();
    const BitsBuffer& current = target_.undoBits();
    const bool sizeChanged = !current.allocated() || current.width() != w || current.height() != h;
    target_.restoreBits(spare_, sizeChanged);
    target_.setPixelPanel(std::to_string(w) + "x" + std::to_string(h));
    return true;
}

bool UndoStore::reloadShownStep()
{
    return undoPos_ >= 1 && restore(snapshotPath(undoPos_ - 1));
}

bool UndoStore::LoadUndoBits(const fs::path& bName)
{
    return restore(bName);
}

bool UndoStore::UndoBits()
{
    // A failed write of the steps before is told before the way back is.
    settleFiles();
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
    settleFiles();
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
    settleFiles();
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
    if (writer_) {
        // Snapshots not begun are skipped; the renames and removals queued
        // with them still run, so the names below are all there can be.
        closing_ = true;
        writer_->wait(this);
        closing_ = false;
    }
    // By exact name and only the steps this document has: a pattern such as
    // "b1000*.dat" would also match the files of document 10001.
    const SnapshotFolder folder(UndoSnapshotFile::folder(programFolder_), false);
    for (int i = 0; i < undoMax_; ++i) {
        folder.remove(stepName(i));
        folder.remove(stepName(i) + kTempSuffix);
    }
    for (std::string& n : names_) n.clear();
    undoPos_ = undoMax_ = 0;
}

void UndoStore::ShiftUndoFiles(const fs::path& folderPath, int32_t meID)
{
    const SnapshotFolder folder(folderPath, false);
    folder.remove(UndoSnapshotFile::fileName(meID, 0));
    for (int i = 1; i <= kMaxSteps; ++i)
        folder.rename(UndoSnapshotFile::fileName(meID, i), UndoSnapshotFile::fileName(meID, i - 1));
}

// ---- SnapshotWriter ----

SnapshotWriter::SnapshotWriter(std::function<void()> wake) : wake_(std::move(wake))
{
    thread_ = std::thread([this] { run(); });
}

SnapshotWriter::~SnapshotWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    thread_.join();
}

void SnapshotWriter::post(const void* owner, Job job)
{
    {
        const std::lock_guard lock(mutex_);
        jobs_.emplace_back(owner, std::move(job));
    }
    work_.notify_one();
}

bool SnapshotWriter::pending(const void* owner) const
{
    if (running_ == owner) return true;
    for (const auto& j : jobs_)
        if (j.first == owner) return true;
    return false;
}

void SnapshotWriter::wait(const void* owner)
{
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return !pending(owner); });
    }
    deliver();
}

void SnapshotWriter::drain()
{
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return jobs_.empty() && !running_; });
    }
    deliver();
}

void SnapshotWriter::deliver()
{
    // One at a time: a notice may show a box whose event loop closes a
    // document, and that document's notices must then still be droppable.
    for (;;) {
        Notice notice;
        {
            const std::lock_guard lock(mutex_);
            if (notices_.empty()) return;
            notice = std::move(notices_.front().second);
            notices_.pop_front();
        }
        notice();
    }
}

void SnapshotWriter::forget(const void* owner)
{
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return !pending(owner); });
    std::erase_if(notices_, [owner](const auto& n) { return n.first == owner; });
}

void SnapshotWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;   // stopping, and every job done
        auto [owner, job] = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = owner;
        lock.unlock();
        Notice notice;
        try {
            notice = job();
        } catch (const std::exception&) {
            // Only memory can run out here; the files stay as the job left
            // them, and the reader that needs one finds it missing.
        }
        // The job's share of the pixels goes before anyone waiting is let
        // go, so the document finds its block its own again.
        job = nullptr;
        lock.lock();
        running_ = nullptr;
        const bool told = static_cast<bool>(notice);
        if (told) notices_.emplace_back(owner, std::move(notice));
        done_.notify_all();
        if (told && wake_) {
            lock.unlock();
            wake_();
            lock.lock();
        }
    }
}

} // namespace tq
