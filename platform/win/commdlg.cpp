#include "platform/win/commdlg.h"

#include <cstring>

#include "platform/win/codepage.h"
#include "platform/win/desktop.h"
#include "platform/win/paths.h"

namespace {

DWORD lastError = 0;

BOOL Fail(DWORD error) {
    lastError = error;
    return FALSE;
}

// "Name\0pattern;pattern\0...\0\0" as name and pattern list pairs.
std::vector<vireo::win::FileFilter> ParseFilter(LPCSTR filter) {
    std::vector<vireo::win::FileFilter> filters;
    if (!filter)
        return filters;
    for (LPCSTR p = filter; *p;) {
        std::string name = p;
        p += name.size() + 1;
        if (!*p)
            break;
        std::string patterns = p;
        p += patterns.size() + 1;
        vireo::win::FileFilter f{vireo::win::AnsiToUtf8(name), {}};
        for (std::size_t start = 0; start <= patterns.size();) {
            std::size_t end = patterns.find(';', start);
            if (end == std::string::npos)
                end = patterns.size();
            if (end > start)
                f.patterns.push_back(vireo::win::AnsiToUtf8(patterns.substr(start, end - start)));
            start = end + 1;
        }
        filters.push_back(std::move(f));
    }
    return filters;
}

// The initial folder: the one asked for, else the folder part of the initial name.
void InitialPlace(const OPENFILENAMEA& ofn, vireo::win::FileChooserRequest& request) {
    std::string name = ofn.lpstrFile ? std::string(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile)) : "";
    std::string folder = ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "";
    std::size_t slash = vireo::win::FindLastSingleByte(name, '\\');
    if (slash != std::string::npos) {
        if (folder.empty())
            folder = name.substr(0, slash + 1);
        name = name.substr(slash + 1);
    }
    request.initialName = vireo::win::AnsiToUtf8(name);
    if (!folder.empty()) {
        std::filesystem::path host = vireo::win::ToHostPath(folder);
        std::error_code ec;
        if (!host.empty() && std::filesystem::is_directory(host, ec))
            request.initialFolder = host.string();
    }
}

} // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* lpofn) {
    lastError = 0;
    if (!lpofn || lpofn->lStructSize != sizeof(OPENFILENAMEA))
        return Fail(CDERR_STRUCTSIZE);
    if (!lpofn->lpstrFile || lpofn->nMaxFile == 0)
        return Fail(FNERR_INVALIDFILENAME);
    vireo::win::Desktop* desktop = vireo::win::CurrentDesktop();
    if (!desktop)
        return Fail(CDERR_INITIALIZATION);

    vireo::win::FileChooserRequest request;
    request.title = lpofn->lpstrTitle ? vireo::win::AnsiToUtf8(lpofn->lpstrTitle) : "열기";
    request.filters = ParseFilter(lpofn->lpstrFilter);
    if (lpofn->nFilterIndex > 0 && lpofn->nFilterIndex <= request.filters.size())
        request.filterIndex = lpofn->nFilterIndex - 1;
    InitialPlace(*lpofn, request);

    std::optional<std::string> chosen = desktop->ChooseFileToOpen(lpofn->hwndOwner, request);
    if (!chosen)
        return FALSE; // cancelled: no error
    std::string path = vireo::win::FromHostPath(*chosen);
    // A name the ANSI code page cannot spell would come back as a different file.
    if (path.empty() || vireo::win::ToHostPath(path) != std::filesystem::path(*chosen))
        return Fail(FNERR_INVALIDFILENAME);
    if (path.size() + 1 > lpofn->nMaxFile) {
        // The size needed, in the first two bytes of the buffer, as the dialog reports it.
        if (lpofn->nMaxFile >= 2) {
            WORD needed = static_cast<WORD>(std::min<std::size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(lpofn->lpstrFile, &needed, sizeof needed);
        }
        return Fail(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(lpofn->lpstrFile, path.c_str(), path.size() + 1);
    std::size_t slash = vireo::win::FindLastSingleByte(path, '\\');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = vireo::win::FindLastSingleByte(path, '.');
    lpofn->nFileOffset = static_cast<WORD>(nameStart);
    lpofn->nFileExtension = static_cast<WORD>(dot != std::string::npos && dot >= nameStart ? dot + 1 : 0);
    if (lpofn->lpstrFileTitle && lpofn->nMaxFileTitle > 0) {
        std::string title = path.substr(nameStart);
        std::size_t n = std::min<std::size_t>(title.size(), lpofn->nMaxFileTitle - 1);
        std::memcpy(lpofn->lpstrFileTitle, title.data(), n);
        lpofn->lpstrFileTitle[n] = '\0';
    }
    return TRUE;
}

DWORD CommDlgExtendedError() {
    return lastError;
}
