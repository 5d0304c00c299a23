#include "LibraryGrammars.h"

#include "cab32/CabGrammar.h"
#include "tar32/TarGrammar.h"
#include "unarj32/ArjGrammar.h"
#include "unlha32/UnlhaGrammar.h"
#include "unrar32/RarGrammar.h"
#include "zip/UnZipGrammar.h"
#include "zip/ZipGrammar.h"

namespace vxfuzz {

std::vector<const arc::Grammar*> LibraryGrammars() {
  return {&unlha32::UnlhaGrammar(), &unarj32::ArjGrammar(), &zip::ZipGrammar(), &zip::UnZipGrammar(),
          &cab32::CabGrammar(),     &tar32::TarGrammar(),   &unrar32::RarGrammar()};
}

}  // namespace vxfuzz
