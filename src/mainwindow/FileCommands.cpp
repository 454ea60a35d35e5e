#include "mainwindow/FileCommands.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tq {

namespace {

constexpr std::array<FileFilterEntry, 34> kOpen = {{
    {"All Supported Picture Formats",
     "*.psp;*.pic;*.pix;*.pxr;*.xpm;*.raw;*.dcx;*.dds;*.lif;*.wal;*.mdl;*.lmp;*.sgi;*.bw;*.rgb;*.rgba;"
     "*.bmp;*.pdd;*.vda;*.icb;*.vst;*.rle;*.jpe;*.wbmp;*.dib;*.wmf;*.emf;*.gif;*.jpg;*.jpeg;*.png;*.pcx;"
     "*.pbm;*.pgm;*.ppm;*.psd;*.jng;*.mng;*.tif;*.koa;*.pcd;*.ras;*.sun;*.tga;*.cut;*.iff;*.lbm"},
    {"Bitmap Files (*.BMP;*.DIB;*.RLE)", "*.bmp;*.dib;*.rle"},
    {"Meta Files (*.WMF;*.EMF)", "*.wmf;*.emf"},
    {"Graphical Interface Format(*.GIF)", "*.gif"},
    {"JPEG Group (*.JPG;*.JPE;*.JPEG)", "*.jpg;*.jpe;*.jpeg"},
    {"Portable Network Graphics (*.PNG)", "*.png"},
    {"Zsoft Paintbrush Files (*.PCX, *.DCX)", "*.pcx;*.dcx"},
    {"Wireless Bitmap (*.WBMP)", "*.wbmp"},
    {"Portable Bitmap (*.PBM)", "*.pbm"},
    {"Portable Graymap (*.PGM)", "*.pgm"},
    {"Portable Pixelmap (*.PPM)", "*.ppm"},
    {"Photoshop (*.PSD;*.PDD)", "*.psd;*.pdd"},
    {"JPEG Network Graphics (*.JNG)", "*.jng"},
    {"Multiple Network Graphics (*.MNG)", "*.mng"},
    {"Tagged Image File Format (*.TIF;*.TIFF)", "*.tif;*.tiff"},
    {"Commodore 64 Koala format (*.KOA)", " *.koa"},
    {"Kodak PhotoCD (*.PCD)", "*.pcd"},
    {"Sun Rasterfile (*.RAS;*.SUN)", "*.ras;*.sun"},
    {"Targa files (*.TGA;*.VDA;*.ICB;*.VST)", "*.tga;*.vda;*.icb;*.vst"},
    {"Dr.Halo bitmap (*.CUT)", "*.cut"},
    {"Interchanged File Format (*.IFF)", "*.iff"},
    {"Deluxe Paint package (*.LBM)", "*.lbm"},
    {"DirectDraw Surface (*.DDS)", "*.dds"},
    {"Homeworld File (*.LIF)", "*.lif"},
    {"Doom Walls / Flats (*.LMP)", "*.lmp"},
    {"Half-Life Model (*.MDL)", "*.mdl"},
    {"PIC (*.PIC)", "*.pic"},
    {"Alias  PIX (*.PIX)", "*.pix"},
    {"Pixar (*.PXR)", "*.pxr"},
    {"Silicon Graphics (*.SGI, *.BW, *.RGB, *.RGBA)", "*.sgi;*.bw;*.rgb;*.rgba"},
    {"Quake2 Texture (*.WAL)", "*.wal"},
    {"X Pixel Map (*.XPM)", "*.xpm"},
    {"Paint Shop Pro (*.PSP)", "*.psp"},
    {"Raw Data (*.RAW)", "*.raw"},
}};

constexpr std::array<FileFilterEntry, 14> kSave = {{
    {"All Supported graphic formats ",
     "*.bmp;*.dib;*.rle;*.gif;*.jpg;*.jpeg;*.jpe;*.jif;*.png;*.tga;*.vst;*.vda;*.icb;*.pcx;*.tif;*.pbm;"
     "*.pgm;*.ppm;*.psd;*.raw;*.sgi;*.bw;*.rgb;*.rgba"},
    {"Windows Bitmap Files (*.bmp)", "*.bmp"},
    {"Graphical Interface Format (*.GIF)", "*.gif"},
    {"Independent JPEG Group (*.JPG;*.JPEG)", "*.jpg;*.jpeg;"},
    {"Portable Network Graphics (*.PNG)", "*.png"},
    {"Targa files (*.TGA;*.VDA;*.VST;*.ICB)", "*.tga;*.vda;*.vst;*.icb"},
    {"Zsoft Paintbrush (*.PCX)", "*.pcx"},
    {"Tagged Image File Format (*.TIF;*.TIFF)", "*.tif;*.tiff"},
    {"Portable Bitmap(*.PBM)", "*.pbm"},
    {"Portable Graymap(*.PGM)", "*.pgm"},
    {"Portable Pixelmap(*.PPM)", "*.ppm"},
    {"PhotoShop (PSD)", "*.psd"},
    {"Silicon Graphics (SGI,BW,RGB,RGBA)", "*.sgi;*.bw;*.rgb;*.rgba"},
    {"Raw Data (RAW)", "*.raw"},
}};

std::string join(std::span<const FileFilterEntry> entries)
{
    std::string out;
    for (const FileFilterEntry& e : entries) {
        if (!out.empty()) out += '|';
        out += e.caption;
        out += '|';
        out += e.patterns;
    }
    return out;
}

} // namespace

std::span<const FileFilterEntry> OpenFileFilterEntries() { return kOpen; }
std::span<const FileFilterEntry> SaveFileFilterEntries() { return kSave; }
std::string OpenFileFilter() { return join(kOpen); }
std::string SaveFileFilter() { return join(kSave); }

std::string LowerCase(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string FileExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || dot < nameStart) return {};
    return std::string(path.substr(dot + 1));
}

bool SavesInPlace(std::string_view path)
{
    static constexpr std::array<std::string_view, 7> kInPlace = {"bmp", "gif", "jpg", "tga", "tif", "png", "pcx"};
    const std::string ext = LowerCase(FileExtension(path));
    return std::find(kInPlace.begin(), kInPlace.end(), ext) != kInPlace.end();
}

std::string FolderWithSlash(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

int ArrangeCode(std::string_view key)
{
    if (key == "TILEHORIZONTALLY") return 1;
    if (key == "TILEVERTICALLY") return 2;
    if (key == "CASCADE") return 0;
    return -1;
}

} // namespace tq
