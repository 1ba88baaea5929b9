// Build-time tool: writes the Command button's state pictures as 24-bit BMPs
// into a folder, from the colour table in button_pictures.cpp.
#include <cstdio>
#include <string>

#include "button_pictures.h"
#include "forms/bmp_file.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_button_pictures <folder>\n");
        return 2;
    }
    for (int i = 0; i < kPictureFileCount; ++i) {
        const auto file = static_cast<PictureFile>(i);
        const std::string path = std::string(argv[1]) + "/" + PictureFileName(file);
        if (!forms::WriteBytesTo(path, EncodeBmp(DrawStatePicture(file)))) {
            std::fprintf(stderr, "make_button_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
