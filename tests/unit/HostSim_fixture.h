#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/hostsim/HostSim.h"

// A simulated Windows with drive C: (a fixed disk) in a fresh temporary
// folder, removed again after the test. Open to the cases of parameterised
// tests, which arrange it.
class HostSimTest : public testing::Test {
 public:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("fx-") + info->test_suite_name() + "-" + info->name() + "-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    for (char& c : name)
      if (c == '/' || c == '\\') c = '_';
    root_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(root_ / "state");
    os_ = std::make_unique<THostSimPlatform>(root_ / "state");
    MapDrive('C', TDriveType::Fixed);
  }

  void TearDown() override {
    os_.reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  // Maps a drive letter to a new, empty folder.
  void MapDrive(char letter, TDriveType type) {
    const std::filesystem::path folder = root_ / std::string(1, letter);
    std::filesystem::create_directories(folder);
    os_->MapDrive(letter, folder, type);
  }

  // Creates a file and every missing folder above it, on the host side.
  void MakeFile(const std::string& path, const std::string& content = "") {
    const std::filesystem::path host = os_->HostPath(path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
  }

  void MakeFolder(const std::string& path) {
    std::filesystem::create_directories(os_->HostPath(path));
  }

  std::string Content(const std::string& path) {
    std::ifstream in(os_->HostPath(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path root_;
  std::unique_ptr<THostSimPlatform> os_;
};
