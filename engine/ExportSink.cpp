#include "engine/ExportSink.h"

#include "platform/File.h"

bool WriteExportFile(const std::string& path, std::string_view bytes) {
    return ReplaceFileContents(path, bytes, true);
}
