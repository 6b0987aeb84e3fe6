#include "tests/e2e/driver.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace driver {

std::wstring ProgramPath(const wchar_t* variable) {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableW(variable, buffer, MAX_PATH * 2);
  return std::wstring(buffer, length);
}

Program::Program(const std::wstring& path, const std::wstring& current_folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + path + L"\"";
  if (CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     current_folder.empty() ? nullptr : current_folder.c_str(), &startup, &info)) {
    process_ = info.hProcess;
    thread_ = info.hThread;
    pid_ = info.dwProcessId;
  }
}

Program::~Program() {
  if (process_ != nullptr) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    CloseHandle(thread_);
  }
}

namespace {

struct FindContext {
  DWORD pid;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM lparam) {
  auto* context = reinterpret_cast<FindContext*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == context->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == context->class_name) {
    context->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND Program::WaitForWindow(const wchar_t* class_name, DWORD timeout_ms) const {
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  do {
    FindContext context{pid_, class_name, nullptr};
    EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&context));
    if (context.found != nullptr) return context.found;
    if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) return nullptr;
  } while (GetTickCount64() < until);
  return nullptr;
}

std::optional<DWORD> Program::WaitForExit(DWORD timeout_ms) const {
  if (WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

namespace {

using QueryProcessFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
using QuerySystemFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

template <typename Fn>
Fn NtFunction(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// Where the process's PEB lies in its address space; null when it cannot be had.
const char* PebOf(HANDLE process) {
  const auto query = NtFunction<QueryProcessFn>("NtQueryInformationProcess");
  PROCESS_BASIC_INFORMATION basic{};
  if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return nullptr;
  return static_cast<const char*>(static_cast<void*>(basic.PebBaseAddress));
}

}  // namespace

std::wstring Program::CurrentDirectory() const {
  const char* peb_address = PebOf(process_);
  PEB peb{};
  if (peb_address == nullptr || !ReadProcessMemory(process_, peb_address, &peb, sizeof peb, nullptr)) return L"";
  // The start of the system's RTL_USER_PROCESS_PARAMETERS, up to the current directory.
  struct CurDir {
    UNICODE_STRING DosPath;
    HANDLE Handle;
  };
  struct Params {
    ULONG MaximumLength, Length, Flags, DebugFlags;
    HANDLE ConsoleHandle;
    ULONG ConsoleFlags;
    HANDLE StdInput, StdOutput, StdError;
    CurDir CurrentDirectory;
  } params{};
  if (!ReadProcessMemory(process_, peb.ProcessParameters, &params, sizeof params, nullptr)) return L"";
  std::wstring path(params.CurrentDirectory.DosPath.Length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process_, params.CurrentDirectory.DosPath.Buffer, path.data(),
                         params.CurrentDirectory.DosPath.Length, nullptr))
    return L"";
  return path;
}

bool Answers(HWND window, DWORD timeout_ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, timeout_ms, &result) != 0;
}

namespace {

int ThreadsOf(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == pid;
  }
  CloseHandle(snapshot);
  return count;
}

// Kernel handles from the system's handle list (class 64, the extended one), which Wine
// keeps too; its GetProcessHandleCount always gives 0. Registry keys are counted apart.
struct HandleEntry {
  PVOID object;
  ULONG_PTR process_id;
  ULONG_PTR handle_value;
  ULONG granted_access;
  USHORT creator_back_trace_index;
  USHORT object_type_index;
  ULONG handle_attributes;
  ULONG reserved;
};

std::vector<HandleEntry> SystemHandles() {
  struct List {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
  };
  constexpr ULONG kSystemExtendedHandleInformation = 64;
  constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
  const auto query = NtFunction<QuerySystemFn>("NtQuerySystemInformation");
  if (query == nullptr) return {};
  std::vector<ULONG_PTR> buffer(1 << 16);
  NTSTATUS status = 0;
  for (int tries = 0; tries < 8; ++tries) {
    ULONG needed = 0;
    status = query(kSystemExtendedHandleInformation, buffer.data(),
                   static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &needed);
    if (status != kInfoLengthMismatch) break;
    buffer.resize(buffer.size() * 2 + needed / sizeof(ULONG_PTR));
  }
  if (status != 0) return {};
  const auto* list = reinterpret_cast<const List*>(buffer.data());
  return {list->entries, list->entries + list->count};
}

// The object type index of registry keys: that of a key the driver opens itself.
int RegistryKeyType(const std::vector<HandleEntry>& handles, HKEY own_key) {
  for (const HandleEntry& h : handles) {
    if (h.process_id == GetCurrentProcessId() && h.handle_value == reinterpret_cast<ULONG_PTR>(own_key)) {
      return h.object_type_index;
    }
  }
  return -1;
}

void CountHandles(DWORD pid, ResourceCounts& counts) {
  HKEY own_key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &own_key) != ERROR_SUCCESS) return;
  const std::vector<HandleEntry> handles = SystemHandles();
  const int key_type = RegistryKeyType(handles, own_key);
  RegCloseKey(own_key);
  if (handles.empty() || key_type < 0) return;
  counts.handles = counts.registry_keys = 0;
  for (const HandleEntry& h : handles) {
    if (h.process_id != pid) continue;
    ++(h.object_type_index == key_type ? counts.registry_keys : counts.handles);
  }
}

// GDI objects. Windows counts them for GetGuiResources; Wine answers 0 there, but keeps
// each process's objects in its own handle table, which the PEB points to: count the
// table's entries in use.
int GdiObjectsOf(HANDLE process) {
  if (const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<int>(counted);
  const char* peb = PebOf(process);
  // PEB.GdiSharedHandleTable; the layout of an entry is the 64-bit system's.
  constexpr std::size_t kTableField = sizeof(void*) == 8 ? 0xF8 : 0x94;
  constexpr std::size_t kEntrySize = 24, kTypeAt = 14, kEntries = 0x10000;
  void* table = nullptr;
  if (peb == nullptr || !ReadProcessMemory(process, peb + kTableField, &table, sizeof table, nullptr) ||
      table == nullptr)
    return -1;
  std::vector<std::uint8_t> entries(kEntrySize * kEntries);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr)) return -1;
  int count = 0;
  for (std::size_t i = 0; i < kEntries; ++i) count += entries[i * kEntrySize + kTypeAt] != 0;
  return count;
}

}  // namespace

ResourceCounts CountsOf(const Program& program) {
  ResourceCounts counts;
  counts.threads = ThreadsOf(program.pid());
  CountHandles(program.pid(), counts);
  counts.gdi_objects = GdiObjectsOf(program.process());
  return counts;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[1024] = {};
  // WM_GETTEXT works across processes, unlike GetWindowText for another process's controls.
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<std::size_t>(length));
}

RECT RectInParent(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  const HWND parent = GetParent(hwnd);
  if (parent != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<HWND> ChildrenTopFirst(HWND parent) {
  std::vector<HWND> children;
  for (HWND h = GetWindow(parent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
  return children;
}

namespace {

void SendKey(WORD virtual_key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

}  // namespace

void KeyDown(WORD virtual_key) { SendKey(virtual_key, false); }
void KeyUp(WORD virtual_key) { SendKey(virtual_key, true); }

void PressKey(WORD virtual_key, std::initializer_list<WORD> modifiers) {
  for (WORD m : modifiers) SendKey(m, false);
  SendKey(virtual_key, false);
  SendKey(virtual_key, true);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) SendKey(*it, true);
  Settle();
}

void Settle(DWORD ms) { Sleep(ms); }

Pixels CaptureScreen(const RECT& r) {
  Pixels pixels;
  pixels.width = r.right - r.left;
  pixels.height = r.bottom - r.top;
  if (pixels.width <= 0 || pixels.height <= 0) return pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  pixels.rgb.assign(source, source + static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height));
  for (auto& p : pixels.rgb) p &= 0x00FFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

Pixels CaptureClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  return CaptureScreen(client);
}

bool WriteBmp(const std::wstring& path, const Pixels& pixels) {
  const std::size_t stride = (static_cast<std::size_t>(pixels.width) * 3 + 3) & ~std::size_t{3};
  const std::size_t image = stride * static_cast<std::size_t>(pixels.height);
  std::vector<std::uint8_t> file(54 + image, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(pixels.width));
  put32(22, static_cast<std::uint32_t>(pixels.height));
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < pixels.height; ++y) {
    std::uint8_t* row = file.data() + 54 + stride * static_cast<std::size_t>(pixels.height - 1 - y);
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t p = pixels.at(x, y);
      row[3 * x] = static_cast<std::uint8_t>(p);
      row[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
    }
  }
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && ok;
}

}  // namespace driver

namespace driver {
namespace {

HWND FindDescendant(HWND parent, const wchar_t* class_name) {
  for (HWND h = GetWindow(parent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    if (ClassOf(h) == class_name && IsWindowVisible(h)) return h;
    if (HWND found = FindDescendant(h, class_name)) return found;
  }
  return nullptr;
}

}  // namespace

HWND WaitForFileDialog(const Program& program, DWORD timeout_ms) {
  const HWND dialog = program.WaitForWindow(L"#32770", timeout_ms);
  if (dialog == nullptr) return nullptr;
  // Ready once its name box is there and it answers: it has finished initialising.
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  while (FileNameBox(dialog) == nullptr && IsWindow(dialog) && GetTickCount64() < until) Sleep(20);
  Answers(dialog, timeout_ms);
  return dialog;
}

HWND FileNameBox(HWND dialog) {
  // The explorer-style dialog's name box is the edit of combo box 0x47C, or edit 0x480.
  if (HWND combo = GetDlgItem(dialog, 0x47C)) {
    if (HWND edit = FindDescendant(combo, L"Edit")) return edit;
  }
  if (HWND edit = GetDlgItem(dialog, 0x480)) return edit;
  return FindDescendant(dialog, L"Edit");
}

bool ChooseFile(HWND dialog, const std::wstring& path, DWORD wait_ms, DWORD settle_ms) {
  const HWND owner = GetWindow(dialog, GW_OWNER);
  SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  const ULONGLONG until = GetTickCount64() + wait_ms;
  while (IsWindow(dialog) && GetTickCount64() < until) Sleep(20);
  if (IsWindow(dialog)) return false;
  // The owner answers once the handler that showed the dialog has returned.
  if (owner != nullptr && !Answers(owner, wait_ms)) return false;
  Settle(settle_ms);
  return true;
}

void CancelDialog(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
  const ULONGLONG until = GetTickCount64() + 5000;
  while (IsWindow(dialog) && GetTickCount64() < until) Sleep(50);
  Settle(200);
}

bool Shows(const Program& program, const wchar_t* class_name, DWORD timeout_ms) {
  return program.WaitForWindow(class_name, timeout_ms) != nullptr;
}

std::vector<std::uint8_t> ReadFileBytes(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  FILE* in = _wfopen(path.c_str(), L"rb");
  if (in == nullptr) return bytes;
  std::uint8_t chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(in);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

}  // namespace driver
