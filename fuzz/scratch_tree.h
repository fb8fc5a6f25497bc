// A scratch folder the file fuzzers fill with the shapes an input asks for, and a folder beside it
// that no write may change.
// SPDX-License-Identifier: MIT
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace scratch {

namespace fs = std::filesystem;

// `inside` is rebuilt for every input; `outside` holds a file that no write may change (root's,
// when we are root: the links inside are then another user's) and names that must stay missing.
class Tree {
 public:
  Tree() : root_(fs::temp_directory_path() / ("zaro-fuzz-" + std::to_string(getpid()))) {
    fs::remove_all(root_);
    fs::create_directories(outside());
    std::ofstream(outside() / "kept.ini", std::ios::binary) << kKept;
  }

  fs::path inside() const { return root_ / "inside"; }
  fs::path outside() const { return root_ / "outside"; }

  // Lays `inside` out from the input's bytes: their number (up to 8), then two bytes each: a
  // regular file, a FIFO (with a reader, so that a blocking open would not wait but be caught by
  // what the reader gets), a folder, or a link to a name inside, to the kept file, to a missing
  // name, to the folder above. The rest of the input is the path to write, in the same small
  // alphabet.
  std::string LayOut(const std::uint8_t*& data, std::size_t& size) {
    CloseReaders();
    fs::remove_all(inside());
    fs::create_directories(inside() / "d");
    int entries = 0;
    if (size > 0) entries = *data++ % 9, --size;
    for (int i = 0; i < entries && size >= 2; ++i, data += 2, size -= 2) {
      const std::string name = Name(data[0] >> 4);
      if (name.empty() || name == ".") continue;
      const fs::path at = inside() / name;
      std::error_code ignored;
      // Never through an entry made before: a link there would take our own write outside.
      fs::remove(at, ignored);
      const std::string target[] = {
          "a", "d/b", "../outside/kept.ini", "../outside/none", "..", outside().string() + "/none",
          "d"};
      switch (data[1] % 4) {
        case 0:
          std::ofstream(at, std::ios::binary) << "[S]\nk=1\n";
          break;
        case 1:
          if (mkfifo(at.c_str(), 0666) == 0) {
            readers_.push_back(open(at.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
          }
          break;
        case 2:
          fs::create_directories(at, ignored);
          break;
        default: {
          // Our own link to the kept file is ours to follow.
          const std::size_t pick = (data[1] >> 2) % 7;
          fs::create_symlink(target[pick == 2 && geteuid() != 0 ? 3 : pick], at, ignored);
          if (geteuid() == 0) static_cast<void>(lchown(at.c_str(), 65534, 65534));
        }
      }
    }
    if (geteuid() == 0) static_cast<void>(chown(inside().c_str(), 65534, 65534));
    std::string path = inside().string();
    for (std::size_t i = 0; i < size && i < 6; ++i) path += "/" + Name(data[i]);
    return path;
  }

  // Aborts (a finding) when a write reached outside or a FIFO.
  void Check() {
    std::ifstream in(outside() / "kept.ini", std::ios::binary);
    const std::string kept{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    char byte = 0;
    for (const int reader : readers_) {
      if (reader >= 0 && read(reader, &byte, 1) > 0) std::abort();
    }
    if (kept != kKept || std::distance(fs::directory_iterator(outside()), {}) != 1) std::abort();
  }

  ~Tree() {
    CloseReaders();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

 private:
  static constexpr const char* kKept = "[S]\nk=kept\n";

  static std::string Name(std::uint8_t code) {
    static const char* const kNames[] = {"a", "b", "d", "d/b", "c", ".", "", "a.ini"};
    return kNames[code % 8];
  }

  void CloseReaders() {
    for (const int reader : readers_) {
      if (reader >= 0) close(reader);
    }
    readers_.clear();
  }

  fs::path root_;
  std::vector<int> readers_;
};

}  // namespace scratch
