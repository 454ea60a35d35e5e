#include "toolwindows/FolderListing.h"

#include "document/SizeLabel.h"
#include "platform/Folders.h"

#include <QDateTime>
#include <QLocale>
#include <QMimeDatabase>
#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <strings.h>

namespace tq::browser {

namespace {

constexpr std::array<const char*, 43> kListed = {
    "gif", "wmf", "emf", "dib", "bmp", "rle", "cut", "iff", "jpg", "jpeg", "koa", "lbm", "mng", "pcd", "pcx",
    "png", "psd", "pdd", "ras", "tga", "vda", "icb", "vst", "targa", "tif", "tiff", "wbmp", "pbm", "pgm", "ppm",
    "jng", "psp", "pic", "pix", "pxr", "xpm", "dcx", "lif", "lmp", "sgi", "bw", "rgb", "rgba"};

constexpr std::array<const char*, 50> kIcons = {
    "bmp", "bw",  "cur", "cut", "dcx",  "dds", "dib",  "emf", "gif", "icb", "iff", "jng",  "jpeg",
    "jpg", "koa", "lbm", "lif", "lmp",  "mdl", "mng",  "pbm", "pcd", "pcx", "pdd", "pgm",  "pic",
    "pix", "png", "pnm", "ppm", "psd",  "psp", "pxr",  "ras", "raw", "rgb", "rgba", "rle", "rlf",
    "sgi", "targa", "tga", "tif", "tiff", "vda", "vst", "wal", "wbmp", "wmf", "xpm"};

constexpr std::array<const char*, 7> kHeaders = {"Name", "Location", "Size (KB)", "Type", "Attributes",
                                                 "Date Created", "Last Accessed"};

struct Timestamps {
    int64_t created = 0;    // seconds since the epoch
    int64_t accessed = 0;
};

// The birth time where the file system keeps one, else the last change of
// the contents.
bool readStat(const std::string& path, uint64_t& size, uint32_t& mode, Timestamps& t)
{
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
    size = sx.stx_size;
    mode = sx.stx_mode;
    t.created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
    t.accessed = sx.stx_atime.tv_sec;
    return true;
}

// The locale's order of day, month and year and the separator it puts
// between them, in digits: two for the day and the month, four for the
// year. A short date that names the month ("11 Dec 2026") would outgrow
// the columns, which are sized for the numeric form ("11/12/2026").
QString numericDateFormat(const QLocale& locale)
{
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    struct Field {
        qsizetype at;
        const char* digits;
    };
    std::array<Field, 3> fields = {Field{shortFormat.indexOf(QLatin1Char('d')), "dd"},
                                   Field{shortFormat.indexOf(QLatin1Char('M')), "MM"},
                                   Field{shortFormat.indexOf(QLatin1Char('y')), "yyyy"}};
    if (std::any_of(fields.begin(), fields.end(), [](const Field& f) { return f.at < 0; }))
        return QStringLiteral("dd/MM/yyyy");
    std::sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) { return a.at < b.at; });
    // The first mark between the first two fields ("/", ".", "-"); a
    // space alone, or a quoted word, gives "/".
    QChar separator = QLatin1Char('/');
    for (qsizetype i = fields[0].at; i < fields[1].at; ++i) {
        const QChar c = shortFormat[i];
        if (c.isPunct() && c != QLatin1Char('\'')) {
            separator = c;
            break;
        }
    }
    QString format;
    for (const Field& f : fields) {
        if (!format.isEmpty()) format += separator;
        format += QLatin1String(f.digits);
    }
    return format;
}

} // namespace

std::string numericDate(int64_t secondsSinceEpoch, bool withTime)
{
    const QLocale locale;
    QString format = numericDateFormat(locale);
    if (withTime) format += QStringLiteral(" HH:mm:ss");
    return locale.toString(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch), format).toStdString();
}

std::span<const char* const> listedExtensions() { return kListed; }
std::span<const char* const> iconExtensions() { return kIcons; }
std::span<const char* const> columnHeaders() { return kHeaders; }

bool isListedExtension(std::string_view lowerExt)
{
    return std::any_of(kListed.begin(), kListed.end(), [&](const char* e) { return lowerExt == e; });
}

int32_t fileAttributes(uint32_t mode, std::string_view name)
{
    int32_t v = 0;
    if (!(mode & S_IWUSR)) v |= kAttrReadOnly;
    if (!name.empty() && name.front() == '.') v |= kAttrHidden;
    return v;
}

std::string attributeCode(int32_t value)
{
    switch (value) {
    case 0: return "F,N";
    case 1: return "F,R";
    case 2: return "F,H";
    case 4: return "F,S";
    case 32: return "F,N,A";
    case 33: return "F,A,R";
    case 34: return "F,A,H";
    case 35: return "F,A,R,H";
    case 36: return "F,A,S";
    case 37: return "F,A,R,S";
    case 38: return "F,A,H,S";
    case 39: return "F,A,R,H,S";
    default: return "System";
    }
}

std::string extensionOf(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string lowerCase(std::string_view text)
{
    std::string s(text);
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<FolderRow> listFolder(const std::string& folder)
{
    std::vector<FolderRow> rows;
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_name[0] == '.') continue;   // hidden, and "." and ".."
            names.emplace_back(e->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int c = ::strcasecmp(a.c_str(), b.c_str());
        return c != 0 ? c < 0 : a < b;
    });

    const std::string decimalPoint = QLocale::system().decimalPoint().toStdString();
    const QMimeDatabase mime;
    std::map<std::string, std::string> typeNames;
    for (const std::string& name : names) {
        const std::string ext = lowerCase(extensionOf(name));
        if (!isListedExtension(ext)) continue;
        FolderRow row;
        row.path = platform::joinPath(folder, name);
        uint64_t size = 0;
        uint32_t mode = 0;
        Timestamps times;
        // Only files: a pipe or a device named like a picture would hold
        // up every reader that opened it.
        if (!readStat(row.path, size, mode, times) || !S_ISREG(mode)) continue;
        row.name = name;
        row.location = folder;
        row.sizeText = tenthKilobyteLabel(size, decimalPoint);
        auto type = typeNames.find(ext);
        if (type == typeNames.end()) {
            const QString comment =
                mime.mimeTypeForFile(QString::fromStdString(name), QMimeDatabase::MatchExtension).comment();
            type = typeNames.emplace(ext, comment.toStdString()).first;
        }
        row.type = type->second;
        const int32_t attributes = fileAttributes(mode, name);
        row.attributes = attributeCode(attributes);
        row.system = (attributes & kAttrSystem) != 0;
        row.created = numericDate(times.created, false);
        row.accessed = numericDate(times.accessed, true);
        row.iconKey = ext;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace tq::browser
