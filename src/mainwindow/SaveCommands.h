// SAVE and SAVEAS on a document, written against the little a document
// window has to offer for them, so the commands can be checked without one.
// The document is always passed in: SAVEAS saves the document that asked,
// never whichever window happens to be active.
#pragma once


#include "document/PictureRouting.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tq {

struct Settings;

class SaveableDocument {
public:
    virtual ~SaveableDocument() = default;
    virtual std::string Tag() const = 0;   // the document's file path ("" when it has none)
    virtual void setTag(const std::string& tag) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setChanged(bool changed) = 0;
    // Writes the picture to path in the format ext names (compared in lower
    // case). On failure the file it would replace is as it was, and the
    // result says why when the picture was refused before writing.
    virtual mBitmap::SaveResult save(const std::string& path, const std::string& ext) = 0;
};

struct SaveContext {
    Settings& settings;
    std::filesystem::path programFolder;
    // The name a saved document takes: the path with "[n]" when another
    // window already has it. Empty: Module3::UniqueDocName.
    std::function<std::string(const std::string& path)> uniqueDocName;
};

inline constexpr const char* kSaveFailed = "Unexpected error saving image";

// "SAVE": a document whose name ends in one of the in-place extensions is
// written to its own file (the name stays exactly as it is); any other goes
// to SaveAsCommand. True when the document was written.
bool SaveCommand(SaveableDocument& doc, SaveContext& ctx);

// "SAVEAS": asks for a path and writes the document there; the document
// takes the new name and the save folder is kept. Cancel changes nothing;
// a failed write says so and leaves the name and the changed mark.
bool SaveAsCommand(SaveableDocument& doc, SaveContext& ctx);

} // namespace tq
