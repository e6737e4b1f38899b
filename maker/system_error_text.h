// What the system says went wrong with a file or a folder, in French: the
// standard library's own texts are in English ("Permission denied"), and the
// system's in the language of its installation.
#pragma once

#include <string>
#include <system_error>

namespace vidod {

// "accès refusé", "disque plein"...; an error without a French text is
// named by its number ("erreur système 1234").
std::string SystemErrorText(const std::error_code& code);

// The same for a number that a Windows function left as its last error.
std::string WindowsErrorText(unsigned long code);

}  // namespace vidod
