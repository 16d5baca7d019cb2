// Command-line scanner: turns the process's parameters into a stream of symbols with one symbol
// of look-ahead. A parameter whose first character is '-' or '/' and that has more than that one
// character is an option, its text without that character; every other parameter (an empty
// one, a lone "-" or "/" included) is a plain argument.
#pragma once

#include <array>
#include <cstdint>

namespace Args {

// The class of the current symbol.
enum TSym : std::uint8_t {
  symNull = 0,  // nothing read yet
  symArg = 1,   // a plain argument
  symOpt = 2,   // an option; str holds it without its leading '-' or '/'
  symEOA = 3,   // every parameter has been consumed
};

// A parameter's text; a parameter longer than this is cut to it.
using TStr = std::array<char, 256>;

extern TSym sym;           // class of the current symbol
extern TStr str;           // text of the current symbol, '\0'-terminated when shorter than str
extern std::uint32_t len;  // number of characters in str
extern bool cut;           // the current parameter was longer than str and has been cut

// Rewinds to parameter 0: sym := symNull, str := the invocation name. Each parse of
// the command line starts with it.
void Reset();
// Moves to the next parameter and classifies it into sym, str, len and cut. Past the last
// parameter: sym := symEOA with an empty str, on every later call too.
void Read();

}  // namespace Args
