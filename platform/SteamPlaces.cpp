#include "SteamPlaces.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// A string value of the registry, in UTF-8; empty when it is missing.
std::string RegistryString(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string text(static_cast<size_t>(length - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer, -1, text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace

std::vector<std::string> SteamPlaces::Candidates(const std::string&) {
    std::vector<std::string> places;
    for (const std::string& place :
         {RegistryString(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath"),
          RegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Valve\\Steam",
                         L"InstallPath")}) {
        if (!place.empty()) {
            places.push_back(place);
        }
    }
    return places;
}

#else

std::vector<std::string> SteamPlaces::Candidates(const std::string& home) {
    if (home.empty()) {
        return {};
    }
    const std::string base = home.back() == '/' ? home : home + '/';
    const std::string flatpak = base + ".var/app/com.valvesoftware.Steam/";
    const std::string snap = base + "snap/steam/common/";
    // ~/.steam/steam and ~/.steam/root are the links the client keeps to its current place.
    return {base + ".steam/steam",          base + ".steam/root",
            base + ".local/share/Steam",    base + ".steam/debian-installation",
            flatpak + ".local/share/Steam", flatpak + ".steam/steam",
            snap + ".local/share/Steam",    snap + ".steam/steam"};
}

#endif
