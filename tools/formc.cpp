// formc: compiles form sources into component streams and dumps streams back to text.
//   formc compile SOURCE OUTPUT [--rc RCFILE] [--binary-dir DIR]...
//     --rc writes the RCDATA line for OUTPUT; binary("file") is looked for beside SOURCE,
//     then in each --binary-dir (the build passes its folder of generated images)
//   formc dump STREAM
// Errors go to standard error as file:line: message (a byte offset for streams), status 1.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "core/exceptions.h"
#include "core/streams.h"
#include "tools/formtext.h"

using namespace tavelo;

namespace {

int Usage() {
  std::cerr << "usage : formc compile SOURCE SORTIE [--rc FICHIER.rc] [--binary-dir DOSSIER]... | formc dump FLUX\n";
  return 2;
}

std::string Folder(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

int Compile(const std::string& source, const std::string& output, const std::string& rcFile,
            const std::vector<std::string>& binaryDirs) {
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::cerr << source << ":0: " << AnsiToUtf8("fichier illisible") << "\n";
    return 1;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    formtext::TCompiled compiled = formtext::Compile(text, Folder(source), binaryDirs);
    TMemoryStream stream;
    stream.WriteBuffer(compiled.bytes.data(), static_cast<std::int32_t>(compiled.bytes.size()));
    stream.SaveToFile(output);
    if (!rcFile.empty()) {
      // The resource is named after the root's class, in capitals.
      std::string line = UpperCase(compiled.rootClass) + " RCDATA \"" + output + "\"\n";
      TMemoryStream rc;
      rc.WriteBuffer(line.data(), static_cast<std::int32_t>(line.size()));
      rc.SaveToFile(rcFile);
    }
  } catch (const formtext::TFormError& e) {
    std::cerr << source << ":" << e.where << ": " << e.message << "\n";
    return 1;
  } catch (const Exception& e) {
    std::cerr << output << ":0: " << AnsiToUtf8(e.Message()) << "\n";
    return 1;
  }
  return 0;
}

int Dump(const std::string& path) {
  try {
    TFileStream stream(path, fmOpenRead | fmShareDenyWrite);
    std::cout << formtext::Dump(stream);
  } catch (const formtext::TFormError& e) {
    std::cerr << path << ":" << e.where << ": " << e.message << "\n";
    return 1;
  } catch (const Exception& e) {
    std::cerr << path << ":0: " << AnsiToUtf8(e.Message()) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "compile") {
    std::string rc;
    std::vector<std::string> binaryDirs;
    for (int i = 4; i < argc; i += 2) {
      std::string option = argv[i];
      if (i + 1 >= argc) return Usage();
      if (option == "--rc") rc = argv[i + 1];
      else if (option == "--binary-dir") binaryDirs.push_back(argv[i + 1]);
      else return Usage();
    }
    return Compile(argv[2], argv[3], rc, binaryDirs);
  }
  if (argc == 3 && std::string(argv[1]) == "dump") return Dump(argv[2]);
  return Usage();
}
