#include "kernel_names.h"

std::wstring WideOf(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int count = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(codePage, 0, bytes.data(), count, &wide[0], size);
    return wide;
}

// No default character is asked for: UTF-8 refuses one.
std::string BytesOf(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int count = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(codePage, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), count, &bytes[0], size, nullptr, nullptr);
    }
    return bytes;
}

std::string NativeName(LPCSTR name) {
    return BytesOf(CP_UTF8, WideOf(CP_ACP, name));
}

std::string NativeName(LPCWSTR name) {
    return BytesOf(CP_UTF8, name);
}

std::wstring WideName(const std::string& native) {
    return WideOf(CP_UTF8, native);
}

std::string AnsiName(const std::string& native) {
    return BytesOf(CP_ACP, WideName(native));
}
