// The open and arrange commands as free functions, so the main window's
// dispatcher and the start-up shell run the same code.
#pragma once

#include "mainwindow/OpenPreviewDialog.h"

#include <filesystem>
#include <functional>
#include <string>

class QMdiArea;

namespace tq {

struct Settings;

// "OPEN": shows the open dialog at Settings.OpenFolder (the program folder
// when that folder is gone), hands the chosen path and its lower-case
// extension to loadBitmap and keeps the folder the dialog ended in.
// Cancel changes nothing.
void RunOpenCommand(Settings& settings, const std::filesystem::path& programFolder,
                    const std::function<void(const std::string& path, const std::string& ext)>& loadBitmap);

// "TILEHORIZONTALLY" (1: one above the other, each the full width),
// "TILEVERTICALLY" (2: side by side, each the full height), "CASCADE" (0).
// Nothing without documents.
void ArrangeDocuments(QMdiArea* mdi, int code);

} // namespace tq
