#pragma once
// The key of one sending of a withdrawal (CDCHAVEENVIO): the server answers a
// repeat of the same key once, so a call whose answer was lost can be sent again.
#include <string>

namespace retirada {

// 32 random hexadecimal digits.
std::string NovaChaveEnvio();

}  // namespace retirada
