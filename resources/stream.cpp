#include <cctype>
#include <vector>

#include "resources/stream_factories.h"

namespace {

std::vector<TStreamFactory*>& Factories() {
  static std::vector<TStreamFactory*> factories{&IncbinStreamFactory(), &FileStreamFactory()};
  return factories;
}

}  // namespace

void RegisterStreamFactory(TStreamFactory* factory) {
  if (factory) Factories().push_back(factory);
}

std::shared_ptr<TStream> OpenStream(const std::string& url, bool readable, bool writeable) {
  std::string protocol;
  std::string path = url;
  const size_t split = url.find("::");
  if (split != std::string::npos) {
    protocol = url.substr(0, split);
    for (char& c : protocol) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    path = url.substr(split + 2);
  }
  for (TStreamFactory* factory : Factories()) {
    if (auto stream = factory->CreateStream(url, protocol, path, readable, writeable))
      return stream;
  }
  return nullptr;
}
