// The outline text file: one line per item, tabs for the depth, CR LF after each.
#include "outline/custom_outline.h"

#include "files/file_stream.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {

void TCustomOutline::SaveOutline(const std::string& fileName) {
    TFileStream stream(fileName, TFileMode::Create);
    SaveOutlineStream(stream);
}

void TCustomOutline::SaveOutlineStream(TFileStream& stream) {
    SaveOutlineTo([&stream](const char* bytes, std::size_t count) { stream.Write(bytes, count); });
}

void TCustomOutline::LoadOutline(const std::string& fileName) {
    TFileStream stream(fileName, TFileMode::ReadExclusive);
    LoadOutlineStream(stream);
}

void TCustomOutline::LoadOutlineStream(TFileStream& stream) {
    LoadOutlineFrom(
        [&stream](char* buffer, std::size_t count) { return stream.Read(buffer, count); });
}

void TCustomOutline::LoadOutlineFrom(const std::function<std::size_t(char*, std::size_t)>& read) {}

void TCustomOutline::SaveOutlineTo(const std::function<void(const char*, std::size_t)>& write) {}

} // namespace virevi
