#include "ExportUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

[[noreturn]] void ThrowFileError(const std::string& action, const std::string& path, int error) {
    throw TExportError(action + " \"" + path + "\": " + std::strerror(error));
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// 0 when the bytes are written and the file is closed, otherwise the first error.
int WriteAndClose(TFile file, std::string_view bytes) {
    errno = 0;
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    int error = written ? 0 : (errno ? errno : EIO);
    errno = 0;
    if (std::fclose(file.release()) != 0 && error == 0) error = errno ? errno : EIO;
    return error;
}

// A row that cannot be written whole is cut off again, so the file ends with the last whole row.
void AppendToFile(const std::string& path, std::string_view bytes) {
    std::error_code sizeError;
    const auto sizeBefore = std::filesystem::file_size(path, sizeError);
    errno = 0;
    TFile file(std::fopen(path.c_str(), "ab"));
    if (!file) ThrowFileError("Cannot append to file", path, errno ? errno : EIO);
    if (const int error = WriteAndClose(std::move(file), bytes)) {
        std::error_code ignored;
        if (!sizeError) std::filesystem::resize_file(path, sizeBefore, ignored);
        ThrowFileError("Cannot append to file", path, error);
    }
}

std::string ReadFile(const std::string& path) {
    errno = 0;
    TFile file(std::fopen(path.c_str(), "rb"));
    if (!file) ThrowFileError("Cannot read file", path, errno ? errno : EIO);
    std::string bytes;
    char buffer[8192];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, count);
    if (std::ferror(file.get())) ThrowFileError("Cannot read file", path, errno ? errno : EIO);
    return bytes;
}

// Puts the byte-order mark before the rows already written and appends the row. The new content
// goes to a file beside the old one and replaces it only when complete, so the rows written so
// far survive a failure.
void RewriteAsUtf8(const std::string& path, std::string_view row) {
    std::string content(kUtf8Bom);
    content += ReadFile(path);
    content += row;
    const std::string temporary = path + ".utf8-tmp";
    errno = 0;
    TFile file(std::fopen(temporary.c_str(), "wbx"));
    if (!file) ThrowFileError("Cannot append to file", path, errno ? errno : EIO);
    if (const int error = WriteAndClose(std::move(file), content)) {
        std::remove(temporary.c_str());
        ThrowFileError("Cannot append to file", path, error);
    }
    errno = 0;
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno ? errno : EIO;
        std::remove(temporary.c_str());
        ThrowFileError("Cannot append to file", path, error);
    }
}

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

} // namespace

std::string CsvItem(const std::string& item) {
    // Values formatted with thousands separators ("1,234.50") must stay one field for any reader.
    if (item.find_first_of(",\"\r\n") == std::string::npos) return item;
    std::string quoted = "\"";
    for (const char c : item) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CsvRow(const std::vector<std::string>& items) {
    std::string row;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) row += ',';
        row += CsvItem(items[i]);
    }
    return row;
}

TCsvWriter::TCsvWriter(std::string description, std::string filePath)
    : FDescription(std::move(description)), FFilePath(std::move(filePath)) {
    TCsvWriter::Initialize();
}

TCsvWriter::TCsvWriter(std::string description) : FDescription(std::move(description)) {}

void TCsvWriter::Initialize() {
    errno = 0;
    TFile file(std::fopen(FFilePath.c_str(), "wb"));
    if (!file) ThrowFileError("Cannot create file", FFilePath, errno ? errno : EIO);
    if (const int error = WriteAndClose(std::move(file), {}))
        ThrowFileError("Cannot create file", FFilePath, error);
    FUtf8 = false;
}

void TCsvWriter::AddRow(const std::vector<std::string>& items) {
    const std::string row = CsvRow(items) + std::string(kLineEnd);
    if (!FUtf8 && !IsAscii(row)) {
        RewriteAsUtf8(FFilePath, row);
        FUtf8 = true;
        return;
    }
    AppendToFile(FFilePath, row);
}

void TCsvWriter::Close() {}
