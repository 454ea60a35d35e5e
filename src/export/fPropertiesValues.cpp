#include "export/fPropertiesValues.h"

#include "document/OpenPicture.h"
#include "document/SizeLabel.h"
#include "document/PictureRouting.h"

#include <FreeImage.h>

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>

#include <cstring>
#include <optional>

namespace tq {
namespace {

struct RouteRow {
    const char* extensions;   // space-separated
    PropertiesRoute route;
};

constexpr PropertiesRoute freeImage(int format, int flags = 0)
{
    return {PropertiesLoader::FreeImage, format, flags};
}

const RouteRow kRoutes[] = {
    {"psp pic pix pxr xpm raw dcx dds lif wal mdl oil lmp sgi bw rgb rgba act pal", {PropertiesLoader::DevIL}},
    // Read as the program opens them, so every bitmap that opens is
    // described (FreeImage's reader refuses the longer headers).
    {"bmp rle", {PropertiesLoader::PictureLoader}},
    {"gif wmf emf ico dib cur", {PropertiesLoader::PictureLoader}},
    {"cut", freeImage(FIF_CUT)},
    {"iff", freeImage(FIF_IFF)},
    {"jpg jpe jif jpeg jiff jff jfi jfif jbig jbg jtif", freeImage(FIF_JPEG, JPEG_ACCURATE)},
    {"koa", freeImage(FIF_KOALA)},
    {"lbm", freeImage(FIF_LBM)},
    {"mng", freeImage(FIF_MNG)},
    {"pcd", freeImage(FIF_PCD)},
    {"pcx", freeImage(FIF_PCX)},
    {"png", freeImage(FIF_PNG)},
    {"psd pdd", freeImage(FIF_PSD)},
    {"ras sun", freeImage(FIF_RAS)},
    {"tga vda icb vst targa", freeImage(FIF_TARGA, TARGA_LOAD_RGB888)},
    {"tif tiff", freeImage(FIF_TIFF)},
    {"wbmp", freeImage(FIF_WBMP)},
    // FreeImage's one PNM reader takes all three by their content.
    {"pbm", freeImage(FIF_PBM)},
    {"pgm", freeImage(FIF_PGM)},
    {"ppm", freeImage(FIF_PPM)},
    {"jng", {PropertiesLoader::FreeImageByFileType}},
};

bool listHas(const char* list, const std::string& word)
{
    const size_t n = word.size();
    for (const char* p = list; *p;) {
        const char* end = std::strchr(p, ' ');
        const size_t len = end ? size_t(end - p) : std::strlen(p);
        if (len == n && n > 0 && std::memcmp(p, word.data(), n) == 0) return true;
        if (!end) break;
        p = end + 1;
    }
    return false;
}

// The text after the last point of the path's last element ("" when it
// has none), in lower case.
std::string lowerExtensionOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return mBitmap::lowerExtension(path.substr(dot + 1));
}

std::string text(const QString& s) { return s.toStdString(); }

// Linux keeps no attribute bits: a file is read-only when its owner may
// not write it, and hidden when its name begins with a point. There is no
// system or archive mark.
int32_t fileAttributes(const QFileInfo& info)
{
    int32_t a = 0;
    if (!(info.permissions() & QFileDevice::WriteOwner)) a |= kAttributeReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.'))) a |= kAttributeHidden;
    return a;
}

// When the file was made, where the file system keeps it; otherwise when it
// was last written, which is as near as Linux comes.
QDateTime madeAt(const QFileInfo& info)
{
    const QDateTime born = info.birthTime();
    return born.isValid() ? born : info.lastModified();
}

} // namespace

PropertiesRoute propertiesRoute(const std::string& ext)
{
    const std::string e = mBitmap::lowerExtension(ext);
    for (const RouteRow& row : kRoutes)
        if (listHas(row.extensions, e)) return row.route;
    return {};
}

std::string ColorDepthText(int bits)
{
    switch (bits) {
    case 1: return "Black & White";
    case 2: return "4 Colors";
    case 3: return "8 Colors";
    case 4: return "16 Colors";
    case 5: return "32 Colors";
    case 6: return "64 Colors";
    case 7: return "128 Colors";
    case 8: return "256 Colors";
    case 15: return "32768 Colors";
    case 16: return "65536 Colors";
    case 24: return "16777216 Colors (True Color)";
    case 32: return "4294967296 Colors (High Color)";
    default: return {};
    }
}

std::string AttributeText(int32_t attributes)
{
    switch (attributes) {
    case 0: return "Normal";
    case 1: return "Read Only";
    case 2: return "Hidden";
    // Read-only and hidden without the system mark is not a system file.
    case 3: return "Read Only, Hidden";
    case 4: return "System";
    case 32: return "Normal, Archive";
    case 33: return "Archive, Read Only";
    case 34: return "Archive, Hidden";
    case 35: return "Archive, Read Only, Hidden";
    case 36: return "Archive, System";
    case 37: return "Archive, Read Only, System";
    case 38: return "Archive, Hidden, System";
    case 39: return "Archive, Read Only, Hidden, System";
    default: return "System";
    }
}

PictureRead readPictureValues(const std::string& path, PictureValues& values)
{
    const std::string ext = lowerExtensionOf(path);
    const PropertiesRoute route = propertiesRoute(ext);
    int32_t depth = 0;
    const DibRecord* picture = nullptr;
    BitmapHandle decoded;
    std::optional<DibRecord> platformPicture;
    switch (route.loader) {
    case PropertiesLoader::None: return PictureRead::NothingLoaded;
    case PropertiesLoader::PictureLoader: {
        int d = 0;
        platformPicture = loadThroughPlatformLoader(path, &d);
        if (platformPicture) picture = &*platformPicture;
        depth = d;
        break;
    }
    case PropertiesLoader::DevIL:
    case PropertiesLoader::FreeImage:
    case PropertiesLoader::FreeImageByFileType: {
        mBitmap::ReadRoute read;
        read.reader = route.loader == PropertiesLoader::DevIL       ? mBitmap::Reader::DevIL
                      : route.loader == PropertiesLoader::FreeImage ? mBitmap::Reader::FreeImage
                                                                    : mBitmap::Reader::FreeImageByFileType;
        read.format = route.format;
        read.flags = route.flags;
        int16_t bpp = 0;
        decoded = mBitmap::DecodeImageFile(path, ext, read, bpp);
        if (!decoded && route.loader == PropertiesLoader::DevIL) return PictureRead::DevilFailed;
        if (decoded) picture = &decoded->dib;
        depth = bpp;
        break;
    }
    }
    if (!picture || picture->width < 1 || picture->height < 1) return PictureRead::NothingLoaded;
    values.width = picture->width;
    values.height = picture->height;
    values.depth = depth;
    return PictureRead::Loaded;
}

std::string GeneralDateText(int year, int month, int day, int hour, int minute, int second)
{
    const QLocale locale;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    QString s = locale.toString(date, QLocale::ShortFormat);
    if (time != QTime(0, 0)) {
        // The locale's long time without its time zone.
        QString format = locale.timeFormat(QLocale::LongFormat);
        format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
        s += QLatin1Char(' ') + locale.toString(time, format.trimmed());
    }
    return text(s);
}

FileValues readFileValues(const std::string& path)
{
    FileValues v;
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists() || !info.isFile()) return v;
    v.name = text(info.fileName());
    v.sizeText = SizeLabel(static_cast<std::uint64_t>(info.size()));
    const QDateTime made = madeAt(info).toLocalTime();
    if (made.isValid()) {
        const QDate d = made.date();
        const QTime t = made.time();
        v.date = GeneralDateText(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    }
    v.attributes = AttributeText(fileAttributes(info));
    v.parent = text(info.absolutePath());
    v.type = text(QMimeDatabase().mimeTypeForFile(info).comment());
    return v;
}

PropertiesTexts describePictureFile(const std::string& path)
{
    PropertiesTexts t;
    PictureValues picture;
    const PictureRead read = readPictureValues(path, picture);
    // A file DevIL should read but cannot is described not at all.
    if (read == PictureRead::DevilFailed) return t;
    if (read == PictureRead::Loaded) {
        t.PDepth = ColorDepthText(picture.depth);
        t.PBits = std::to_string(picture.depth);
        t.PWidth = std::to_string(picture.width);
        t.PHeight = std::to_string(picture.height);
        t.PResolution = t.PWidth + " x " + t.PHeight;
    }
    const FileValues file = readFileValues(path);
    t.PName = file.name;
    t.PSize = file.sizeText;
    t.PDate = file.date;
    t.PAttribute = file.attributes;
    t.PParent = file.parent;
    t.pType = file.type;
    return t;
}

} // namespace tq
