#pragma once
// The pictures that the setup program carries inside itself, compiled in from
// resources/pictures so that nothing has to lie beside the program. Each
// resource is the stored file, byte for byte: a baseline JPEG picture.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct TResource {
  std::string_view Name;  // the file name, e.g. "welcome.jpg"
  const unsigned char* Data;
  std::size_t Size;

  // A copy, for the decoders that take their input as a vector.
  std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(Data, Data + Size); }
};

// The names of the resources, with the size each picture is drawn for and the
// place that shows it.
namespace ResourceName {
constexpr std::string_view Welcome = "welcome.jpg";                    // 369 x 417, welcome page, Image1
constexpr std::string_view Terms = "terms.jpg";                        // 320 x 290, terms page, Image3
constexpr std::string_view InstallOrUpgrade = "install_or_upgrade.jpg";  // 225 x 193, Image4
constexpr std::string_view Error = "error.jpg";          // 121 x 122, error page, Image1, transparent
constexpr std::string_view InstallFolder = "install_folder.jpg";    // 105 x 105, Image5
constexpr std::string_view DownloadFolder = "download_folder.jpg";  // 105 x 105, Image5
constexpr std::string_view Connection = "connection.jpg";           // 177 x 281, Image1
constexpr std::string_view ReadyToInstall = "ready_to_install.jpg";  // 193 x 164, Image7
constexpr std::string_view InstallFinished = "install_finished.jpg";  // 370 x 388, Image1
constexpr std::string_view Searching = "searching.jpg";              // 200 x 200, Image9
constexpr std::string_view UpgradeFinished = "upgrade_finished.jpg";  // 383 x 302, Image8
constexpr std::string_view Icon = "icon.jpg";  // 32 x 32 on the window blue, main window's ImgIcon
}  // namespace ResourceName

// Every carried resource, in name order.
struct TResourceRange {
  const TResource* First;
  const TResource* Last;
  const TResource* begin() const { return First; }
  const TResource* end() const { return Last; }
  std::size_t size() const { return static_cast<std::size_t>(Last - First); }
};
TResourceRange EmbeddedResources();

// The resource of exactly that name, or nullptr when none is carried.
const TResource* FindEmbeddedResource(std::string_view name);

// As FindEmbeddedResource, for callers that cannot go on without it: a
// missing resource is an error that names it.
const TResource& GetEmbeddedResource(std::string_view name);
