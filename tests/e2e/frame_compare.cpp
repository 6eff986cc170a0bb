/** @file frame_compare.cpp frame_compare: two folders of frames a replay wrote (--frames-to), compared pixel by pixel.
 */
// Compares the frames two runs of the same replay wrote, file by file: every
// frame-*.png of the first folder must be in the second, of the same size, and
// no channel of any pixel may differ by more than --tolerance (default 0), on
// at most --max-pixels pixels in all (default 0). Prints what it found; status
// 0 when the frames agree, 1 when they do not, 2 on a bad command line.
#include <dirent.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadRgb(const std::string& path, std::vector<uint8_t>& rgb, int& width, int& height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  width = int(image.width);
  height = int(image.height);
  return true;
}

std::vector<std::string> FrameNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.rfind("frame-", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
        names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> folders;
  long tolerance = 0, maxPixels = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--tolerance" || arg == "--max-pixels") && i + 1 < argc) {
      (arg == "--tolerance" ? tolerance : maxPixels) = std::strtol(argv[++i], nullptr, 10);
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "usage: frame_compare FOLDER_A FOLDER_B [--tolerance N] [--max-pixels N]\n");
      return 2;
    } else {
      folders.push_back(arg);
    }
  }
  if (folders.size() != 2) {
    std::fprintf(stderr, "usage: frame_compare FOLDER_A FOLDER_B [--tolerance N] [--max-pixels N]\n");
    return 2;
  }
  const std::vector<std::string> names = FrameNames(folders[0]);
  if (names.empty()) {
    std::printf("frame_compare: no frames in %s\n", folders[0].c_str());
    return 1;
  }
  if (FrameNames(folders[1]).size() != names.size()) {
    std::printf("frame_compare: %zu frames in %s, %zu in %s\n", names.size(), folders[0].c_str(),
                FrameNames(folders[1]).size(), folders[1].c_str());
    return 1;
  }
  bool agree = true;
  long differing = 0, beyond = 0, worst = 0;
  long long pixels = 0;
  std::vector<uint8_t> a, b;
  for (const std::string& name : names) {
    int wa = 0, ha = 0, wb = 0, hb = 0;
    if (!ReadRgb(folders[0] + "/" + name, a, wa, ha) || !ReadRgb(folders[1] + "/" + name, b, wb, hb)) {
      std::printf("frame_compare: %s cannot be read in both folders\n", name.c_str());
      return 1;
    }
    if (wa != wb || ha != hb) {
      std::printf("frame_compare: %s is %dx%d in one folder and %dx%d in the other\n", name.c_str(), wa, ha, wb, hb);
      return 1;
    }
    long frameDiffering = 0, frameWorst = 0;
    for (size_t p = 0; p < a.size(); p += 3) {
      long most = 0;
      for (size_t c = 0; c < 3; ++c) most = std::max(most, std::labs(long(a[p + c]) - long(b[p + c])));
      if (most == 0) continue;
      ++frameDiffering;
      if (most > tolerance) {
        if (beyond == 0)
          std::printf("frame_compare: %s: pixel (%zu, %zu) differs by %ld\n", name.c_str(), (p / 3) % size_t(wa),
                      (p / 3) / size_t(wa), most);
        ++beyond;
      }
      frameWorst = std::max(frameWorst, most);
    }
    if (frameDiffering)
      std::printf("frame_compare: %s: %ld pixels differ, by up to %ld\n", name.c_str(), frameDiffering, frameWorst);
    differing += frameDiffering;
    worst = std::max(worst, frameWorst);
    pixels += (long long)(a.size() / 3);
  }
  if (beyond > 0 || differing > maxPixels) agree = false;
  std::printf("frame_compare: %zu frames, %lld pixels: %ld differ (at most %ld allowed), by up to %ld (%ld allowed)\n",
              names.size(), pixels, differing, maxPixels, worst, tolerance);
  return agree ? 0 : 1;
}
