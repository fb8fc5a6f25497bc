#include "support/fakes.h"

#include "errors/error.h"

#include <fstream>
#include <iterator>
#include <random>

std::string FakeRuntime::EnvironmentString(int index) const {
  if (index < 1 || static_cast<std::size_t>(index) > environment.size()) return {};
  return environment[static_cast<std::size_t>(index) - 1];
}

std::string FakeRuntime::ProgramFolder() const {
  if (++program_folder_calls == failing_program_folder_call) {
    throw RuntimeError(ErrorNumber::kPathFileAccess, program_name);
  }
  return program_folder;
}

void FakeRuntime::AppendToFile(const std::string& path, const std::string& text) {
  if (passing_appends > 0) {
    --passing_appends;
  } else if (failing_appends > 0) {
    --failing_appends;
    throw RuntimeError(ErrorNumber::kPathFileAccess, program_name);
  }
  NativeRuntime::AppendToFile(path, text);
}

MessageAnswer FakeDialogs::ShowMessage(const MessageBoxRequest& request) {
  shown.push_back(request);
  if (on_show) on_show();
  if (answers.empty()) return request.default_answer;
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::filesystem::temp_directory_path() / ("zaro-test-" + std::to_string(random()));
    // Only a folder this call created is ours.
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool OnWindows() {
  return NativeRuntime(0, nullptr).path_style() == PathStyle::kWindows;
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(PathOf(path).parent_path());
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> NamesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    names.insert(item.path().filename().string());
  }
  return names;
}

ModuleTest::ModuleTest() {
  std::filesystem::create_directories(dir_.path() / "plant/Tools");
  runtime_.program_folder = dir_ / "plant/Tools";
  runtime_.service_log = dir_ / "MorvikServicePack.log";
}

std::string ModuleTest::Put(const std::string& relative, const std::string& bytes) {
  const std::string path = dir_ / ("plant/" + relative);
  WriteBytes(path, bytes);
  return path;
}
