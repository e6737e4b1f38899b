#include "maker/system_error_text.h"

#include <cstddef>
#include <iterator>

namespace vidod {
namespace {

constexpr char kAccessDenied[] = "accès refusé";
constexpr char kNotFound[] = "introuvable";
constexpr char kInUse[] = "utilisé par un autre programme";
constexpr char kDiskFull[] = "disque plein";
constexpr char kReadOnlyDisk[] = "disque ou clé protégé en écriture";
constexpr char kAlreadyThere[] = "existe déjà";
constexpr char kBadName[] = "nom de fichier invalide";
constexpr char kTooLong[] = "nom ou chemin trop long";
constexpr char kOutOfMemory[] = "mémoire insuffisante";

struct ErrorText {
  int code;
  const char* text;
};

const ErrorText kGenericTexts[] = {
    {static_cast<int>(std::errc::permission_denied), kAccessDenied},
    {static_cast<int>(std::errc::operation_not_permitted), kAccessDenied},
    {static_cast<int>(std::errc::no_such_file_or_directory), kNotFound},
    {static_cast<int>(std::errc::device_or_resource_busy), kInUse},
    {static_cast<int>(std::errc::text_file_busy), kInUse},
    {static_cast<int>(std::errc::no_space_on_device), kDiskFull},
    // A disk formatted for cameras and old systems (FAT32) holds no file of 4 Gio.
    {static_cast<int>(std::errc::file_too_large), "fichier trop grand pour ce disque"},
    {static_cast<int>(std::errc::read_only_file_system), kReadOnlyDisk},
    {static_cast<int>(std::errc::file_exists), kAlreadyThere},
    {static_cast<int>(std::errc::invalid_argument), kBadName},
    {static_cast<int>(std::errc::filename_too_long), kTooLong},
    {static_cast<int>(std::errc::not_enough_memory), kOutOfMemory},
    {static_cast<int>(std::errc::is_a_directory), "c'est un dossier"},
    {static_cast<int>(std::errc::not_a_directory), "un élément du chemin n'est pas un dossier"},
    {static_cast<int>(std::errc::directory_not_empty), "dossier non vide"},
    {static_cast<int>(std::errc::io_error), "erreur de lecture ou d'écriture du disque"},
    {static_cast<int>(std::errc::too_many_files_open), "trop de fichiers ouverts"},
    {static_cast<int>(std::errc::cross_device_link), "l'autre emplacement est sur un autre disque"},
};

// The numbers of winerror.h that files and folders meet.
const ErrorText kWindowsTexts[] = {
    {2, kNotFound},                                     // ERROR_FILE_NOT_FOUND
    {3, kNotFound},                                     // ERROR_PATH_NOT_FOUND
    {5, kAccessDenied},                                 // ERROR_ACCESS_DENIED
    {8, kOutOfMemory},                                  // ERROR_NOT_ENOUGH_MEMORY
    {14, kOutOfMemory},                                 // ERROR_OUTOFMEMORY
    {15, "lecteur introuvable"},                        // ERROR_INVALID_DRIVE
    {19, kReadOnlyDisk},                                // ERROR_WRITE_PROTECT
    {21, "lecteur pas prêt"},                           // ERROR_NOT_READY
    {32, kInUse},                                       // ERROR_SHARING_VIOLATION
    {33, kInUse},                                       // ERROR_LOCK_VIOLATION
    {39, kDiskFull},                                    // ERROR_HANDLE_DISK_FULL
    {80, kAlreadyThere},                                // ERROR_FILE_EXISTS
    {112, kDiskFull},                                   // ERROR_DISK_FULL
    {123, kBadName},                                    // ERROR_INVALID_NAME
    {145, "dossier non vide"},                          // ERROR_DIR_NOT_EMPTY
    {183, kAlreadyThere},                               // ERROR_ALREADY_EXISTS
    {193, "ce n'est pas un programme Windows valide"},  // ERROR_BAD_EXE_FORMAT
    {206, kTooLong},                                    // ERROR_FILENAME_EXCED_RANGE
    {225, "bloqué par l'antivirus"},                    // ERROR_VIRUS_INFECTED
    {267, "ce n'est pas un dossier"},                   // ERROR_DIRECTORY
    {1224, kInUse},                                     // ERROR_USER_MAPPED_FILE
};

const char* Lookup(const ErrorText* table, std::size_t count, int code) {
  for (std::size_t i = 0; i < count; ++i)
    if (table[i].code == code) return table[i].text;
  return nullptr;
}

std::string Numbered(int code) { return "erreur système " + std::to_string(code); }

}  // namespace

std::string WindowsErrorText(unsigned long code) {
  const char* text = Lookup(kWindowsTexts, std::size(kWindowsTexts), static_cast<int>(code));
  return text ? text : Numbered(static_cast<int>(code));
}

std::string SystemErrorText(const std::error_code& code) {
#ifdef _WIN32
  // There the system's category holds the numbers of winerror.h.
  if (code.category() == std::system_category()) return WindowsErrorText(static_cast<unsigned long>(code.value()));
#endif
  const std::error_condition condition = code.default_error_condition();
  const char* text = condition.category() == std::generic_category()
                         ? Lookup(kGenericTexts, std::size(kGenericTexts), condition.value())
                         : nullptr;
  return text ? text : Numbered(code.value());
}

}  // namespace vidod
