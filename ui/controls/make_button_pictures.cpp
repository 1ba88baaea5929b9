// Build-time tool: writes the Command button's state pictures as 24-bit BMPs
// into a folder, from the colour table in button_pictures.cpp.
#include <cstdio>
#include <string>

#include "button_pictures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_button_pictures <folder>\n");
        return 2;
    }
    for (int i = 0; i < kPictureFileCount; ++i) {
        const auto file = static_cast<PictureFile>(i);
        const std::string path = std::string(argv[1]) + "/" + PictureFileName(file);
        const auto bytes = EncodeBmp(DrawStatePicture(file));
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
            std::fprintf(stderr, "make_button_pictures: cannot write %s\n", path.c_str());
            if (out != nullptr) std::fclose(out);
            return 1;
        }
        std::fclose(out);
    }
    return 0;
}
