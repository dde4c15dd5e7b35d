#include "system/process_list.h"

#include <winternl.h>

#include "platform/win32/library_loading.h"

namespace system_commands {
namespace {

constexpr NTSTATUS kBufferTooSmall = static_cast<NTSTATUS>(0xC0000004);

// The system's process records, one after another, each saying where the next one starts; empty
// when they cannot be read. Taken in one call to the system: a snapshot of the same list (the
// documented way) is read back one process at a time, and under Wine each of those is a round
// trip to the server, which made the list grow with the machine.
std::vector<ULONGLONG> ProcessRecords() {
  using QueryCall = decltype(&::NtQuerySystemInformation);
  const auto query = platform::FindFunction<QueryCall>(::GetModuleHandleA("ntdll.dll"),
                                                       "NtQuerySystemInformation");
  if (query == nullptr)
    return {};
  // The list may grow between a call that gives its size and the next one, so the buffer grows
  // until one call fits. Its elements keep the records aligned as the system writes them.
  std::vector<ULONGLONG> records(8192);
  for (;;) {
    const ULONG capacity = static_cast<ULONG>(records.size() * sizeof(ULONGLONG));
    ULONG needed = 0;
    const NTSTATUS result = query(SystemProcessInformation, records.data(), capacity, &needed);
    if (NT_SUCCESS(result))
      return records;
    if (result != kBufferTooSmall)
      return {};
    records.resize(2 * (needed > capacity ? needed : capacity) / sizeof(ULONGLONG));
  }
}

// The ANSI form of a name the system gives in UTF-16.
std::string Narrow(const UNICODE_STRING& name) {
  const int units = name.Length / sizeof(WCHAR);
  if (units == 0)
    return {};
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, name.Buffer, units, nullptr, 0, nullptr, nullptr);
  std::string narrow(length, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, name.Buffer, units, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::vector<RunningProcess> RunningProcesses() {
  const std::vector<ULONGLONG> records = ProcessRecords();
  std::vector<RunningProcess> processes;
  if (records.empty())
    return processes;
  const auto* bytes = reinterpret_cast<const unsigned char*>(records.data());
  for (ULONG offset = 0;;) {
    const auto& record = *reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(bytes + offset);
    processes.push_back({static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(record.UniqueProcessId)),
                         Narrow(record.ImageName)});
    if (record.NextEntryOffset == 0)
      return processes;
    offset += record.NextEntryOffset;
  }
}

}  // namespace system_commands
