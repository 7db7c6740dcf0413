// Draws the About box's photograph — a field of sunflowers in bloom under a
// cloudy sky, low hills and a few buildings on the horizon — and writes it in
// its stored form: the tag "TJPEGImage", a 32-bit little-endian byte count and
// a JPEG file (JFIF 1.01, 144 × 144 dpi, progressive, three components,
// 256 × 192). Everything is drawn from a fixed seed, so the same program
// writes the same bytes. Run through `cmake --build <dir> --target about_photo`.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

constexpr int Width = 256;
constexpr int Height = 192;
constexpr int Sub = 3; // drawn three times finer, then averaged: smooth edges
constexpr int W = Width * Sub;
constexpr int H = Height * Sub;
constexpr int Quality = 80;
constexpr double Pi = 3.14159265358979323846;

struct TRgb {
    double R = 0, G = 0, B = 0;
};

TRgb Mix(TRgb a, TRgb b, double t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
TRgb Scale(TRgb a, double k) {
    return {a.R * k, a.G * k, a.B * k};
}
double Clamp01(double x) {
    return std::clamp(x, 0.0, 1.0);
}
double SmoothStep(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// A small fixed generator, so no library's choice of random numbers changes
// the picture.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : State_(seed) {}
    double Next() { // [0, 1)
        State_ ^= State_ << 13;
        State_ ^= State_ >> 7;
        State_ ^= State_ << 17;
        return static_cast<double>(State_ >> 11) / 9007199254740992.0;
    }
    double Range(double low, double high) { return low + (high - low) * Next(); }

private:
    std::uint64_t State_;
};

double Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0;
}

double ValueNoise(double x, double y, int seed) {
    const int xi = static_cast<int>(std::floor(x));
    const int yi = static_cast<int>(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
    const double c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double Fbm(double x, double y, int seed, int octaves = 5) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise(x, y, seed + i * 17);
        norm += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / norm;
}

class TPicture {
public:
    TPicture() : Pixels_(static_cast<std::size_t>(W) * H) {}
    TRgb& At(int x, int y) { return Pixels_[static_cast<std::size_t>(y) * W + x]; }

    void Blend(int x, int y, TRgb colour, double alpha) {
        if (x < 0 || y < 0 || x >= W || y >= H) {
            return;
        }
        At(x, y) = Mix(At(x, y), colour, alpha);
    }

    // An ellipse centred at (cx, cy), semi-axes a and b in fine pixels,
    // turned by `angle`; `shade` gets the point in the ellipse's own
    // coordinates (-1..1 along each axis) and gives its colour.
    void FillEllipse(double cx, double cy, double a, double b, double angle,
                     const std::function<TRgb(double u, double v)>& shade) {
        const double c = std::cos(angle), s = std::sin(angle);
        const double reach = std::max(a, b) + 1;
        const int x0 = std::max(0, static_cast<int>(cx - reach));
        const int x1 = std::min(W - 1, static_cast<int>(cx + reach));
        const int y0 = std::max(0, static_cast<int>(cy - reach));
        const int y1 = std::min(H - 1, static_cast<int>(cy + reach));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double u = (dx * c + dy * s) / a, v = (-dx * s + dy * c) / b;
                if (u * u + v * v <= 1) {
                    At(x, y) = shade(u, v);
                }
            }
        }
    }

    void FillCircle(double cx, double cy, double r, TRgb colour) {
        FillEllipse(cx, cy, r, r, 0, [&](double, double) { return colour; });
    }

    void FillRect(double left, double top, double right, double bottom, TRgb colour) {
        for (int y = std::max(0, static_cast<int>(top)); y < std::min<double>(H, bottom); ++y) {
            for (int x = std::max(0, static_cast<int>(left)); x < std::min<double>(W, right); ++x) {
                At(x, y) = colour;
            }
        }
    }

    // A thick line segment, as a run of discs.
    void Stroke(double x0, double y0, double x1, double y1, double width, TRgb colour) {
        const double length = std::hypot(x1 - x0, y1 - y0);
        const int steps = std::max(1, static_cast<int>(length * 2));
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            FillCircle(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour);
        }
    }

    std::vector<std::uint8_t> Averaged() const {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(Width) * Height * 3);
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                TRgb sum;
                for (int j = 0; j < Sub; ++j) {
                    for (int i = 0; i < Sub; ++i) {
                        const TRgb& p =
                            Pixels_[static_cast<std::size_t>(y * Sub + j) * W + x * Sub + i];
                        sum = {sum.R + p.R, sum.G + p.G, sum.B + p.B};
                    }
                }
                const std::size_t at = (static_cast<std::size_t>(y) * Width + x) * 3;
                out[at] =
                    static_cast<std::uint8_t>(std::clamp(sum.R / (Sub * Sub), 0.0, 255.0) + 0.5);
                out[at + 1] =
                    static_cast<std::uint8_t>(std::clamp(sum.G / (Sub * Sub), 0.0, 255.0) + 0.5);
                out[at + 2] =
                    static_cast<std::uint8_t>(std::clamp(sum.B / (Sub * Sub), 0.0, 255.0) + 0.5);
            }
        }
        return out;
    }

private:
    std::vector<TRgb> Pixels_;
};

// Heights below are in final pixels; the drawing multiplies by Sub.
constexpr double HorizonY = 86; // where the field meets the trees
constexpr double FieldDepth = 118;

void DrawSky(TPicture& picture) {
    const TRgb zenith{86, 132, 196}, haze{196, 212, 228};
    const TRgb white{250, 250, 248}, underside{142, 150, 166};
    for (int y = 0; y < HorizonY * Sub; ++y) {
        const double fy = y / (HorizonY * Sub);
        for (int x = 0; x < W; ++x) {
            TRgb colour = Mix(zenith, haze, std::pow(fy, 1.3));
            const double nx = x / (70.0 * Sub), ny = y / (26.0 * Sub);
            // Heavier cloud in the upper middle, thinning towards the hills.
            const double cover = 0.40 + 0.12 * fy;
            const double density = Fbm(nx, ny, 11);
            const double cloud = SmoothStep(cover, cover + 0.16, density);
            if (cloud > 0) {
                // Light comes from above: cloud standing over a point darkens it.
                const double above = Fbm(nx, ny - 0.35, 11);
                const double shadow = SmoothStep(cover, cover + 0.25, above) * 0.85;
                const TRgb body = Mix(white, underside, shadow * (0.6 + 0.4 * fy));
                colour = Mix(colour, body, cloud);
            }
            picture.At(x, y) = colour;
        }
    }
}

void DrawHills(TPicture& picture) {
    const TRgb far{138, 158, 176}, near{84, 114, 96};
    for (int x = 0; x < W; ++x) {
        const double fx = static_cast<double>(x) / Sub;
        const double farRidge = 60 + 5 * std::sin(fx * 0.021 + 1.2) +
                                3 * std::sin(fx * 0.055 + 0.3) +
                                4 * (Fbm(fx / 40, 0.5, 31, 4) - 0.5);
        const double nearRidge = 72 + 3.5 * std::sin(fx * 0.031 + 2.0) + 2 * std::sin(fx * 0.09) +
                                 3 * (Fbm(fx / 25, 2.5, 37, 4) - 0.5);
        for (int y = static_cast<int>(farRidge * Sub); y < HorizonY * Sub; ++y) {
            const double depth = (y / static_cast<double>(Sub) - farRidge) / 20;
            TRgb colour = Mix(far, Scale(far, 0.9), Clamp01(depth));
            if (y >= nearRidge * Sub) {
                const double shade = Fbm(fx / 6, y / (6.0 * Sub), 41, 3);
                colour = Mix(near, Scale(near, 0.78), shade);
            }
            picture.At(x, y) = colour;
        }
    }
}

// A house: wall, gable roof, a window or two; `left` and `width` in final pixels.
void DrawHouse(TPicture& picture, double left, double width, double wall, double roof, TRgb walls,
               TRgb tiles) {
    const double base = (HorizonY - 1.5) * Sub;
    const double l = left * Sub, r = (left + width) * Sub;
    picture.FillRect(l, base - wall * Sub, r, base, walls);
    picture.FillRect(l + (r - l) * 0.7, base - wall * Sub, r, base, Scale(walls, 0.8));
    for (int y = static_cast<int>(base - (wall + roof) * Sub); y < base - wall * Sub; ++y) {
        const double t = (base - wall * Sub - y) / (roof * Sub); // 0 at eaves, 1 at ridge
        const double half = (r - l) / 2 * (1 - t) + Sub * 0.8 * (1 - t);
        picture.FillRect((l + r) / 2 - half, y, (l + r) / 2 + half, y + 1,
                         Mix(tiles, Scale(tiles, 0.75), t));
    }
    for (double wx = l + Sub * 1.5; wx + Sub * 1.2 < r * 0.7 + l * 0.3; wx += Sub * 3) {
        picture.FillRect(wx, base - wall * Sub * 0.7, wx + Sub * 1.2, base - wall * Sub * 0.35,
                         {60, 62, 70});
    }
}

void DrawSilo(TPicture& picture, double left, double width, double height) {
    const double base = (HorizonY - 1.5) * Sub;
    const double l = left * Sub, r = (left + width) * Sub;
    for (int x = static_cast<int>(l); x < r; ++x) {
        const double t = (x - l) / (r - l);
        const TRgb metal = Scale(TRgb{205, 205, 200}, 0.75 + 0.35 * std::sin(t * Pi * 0.9 + 0.2));
        picture.FillRect(x, base - height * Sub, x + 1, base, metal);
    }
    picture.FillEllipse((l + r) / 2, base - height * Sub, (r - l) / 2, (r - l) / 3, 0,
                        [](double u, double v) {
                            return Scale(TRgb{190, 190, 186}, 0.9 + 0.1 * (u - v));
                        });
}

void DrawHorizon(TPicture& picture, TRandom& random) {
    // Buildings first: the trees and hedges stand partly in front of them.
    DrawHouse(picture, 34, 15, 5.5, 4, {232, 226, 210}, {158, 64, 42});
    DrawHouse(picture, 51, 8, 4, 3, {220, 214, 200}, {120, 72, 58});
    DrawHouse(picture, 142, 17, 7, 4.5, {196, 60, 48}, {92, 92, 98});
    DrawSilo(picture, 161, 5, 13);
    DrawHouse(picture, 208, 11, 5, 3.5, {238, 234, 222}, {150, 70, 50});
    // A church tower with its spire, far off.
    {
        const double base = (HorizonY - 1.5) * Sub, l = 226 * Sub, r = 229.5 * Sub;
        picture.FillRect(l, base - 11 * Sub, r, base, {214, 208, 196});
        picture.FillRect(r - Sub, base - 11 * Sub, r, base, {176, 170, 160});
        for (int y = 0; y < 6 * Sub; ++y) {
            const double half = (r - l) / 2 * (1 - y / (6.0 * Sub));
            picture.FillRect((l + r) / 2 - half, base - 11 * Sub - y - 1, (l + r) / 2 + half,
                             base - 11 * Sub - y, {88, 96, 92});
        }
    }
    // Tree line and hedges along the far edge of the field.
    for (double x = -2; x < Width + 2; x += random.Range(1.2, 3.2)) {
        const bool gap = (x > 36 && x < 58) || (x > 143 && x < 166) || (x > 209 && x < 230);
        const double size = gap ? random.Range(0.8, 1.6) : random.Range(1.4, 3.6);
        const TRgb leaf = Mix(TRgb{38, 66, 38}, TRgb{70, 96, 52}, random.Next());
        picture.FillCircle(x * Sub, (HorizonY - 1 - size * 0.6) * Sub, size * Sub, leaf);
    }
}

void DrawFieldGround(TPicture& picture) {
    for (int y = static_cast<int>((HorizonY - 1) * Sub); y < H; ++y) {
        const double depth = Clamp01((y / static_cast<double>(Sub) - HorizonY) / 30);
        for (int x = 0; x < W; ++x) {
            const double n = Fbm(x / (3.0 * Sub), y / (2.0 * Sub), 53, 3);
            // Far off the heads merge into a band of yellow; near, the leaves show.
            const TRgb distant = Mix(TRgb{196, 164, 36}, TRgb{150, 138, 40}, n);
            const TRgb foliage = Mix(TRgb{36, 72, 26}, TRgb{78, 118, 40}, n);
            picture.At(x, y) = Mix(distant, foliage, depth);
        }
    }
}

void DrawLeaf(TPicture& picture, double x, double y, double length, double angle, TRandom& random) {
    const TRgb light = Mix(TRgb{84, 140, 46}, TRgb{110, 160, 60}, random.Next());
    const TRgb dark{34, 78, 26};
    picture.FillEllipse(x + std::cos(angle) * length, y + std::sin(angle) * length, length,
                        length * 0.45, angle, [&](double u, double v) {
                            const double vein = std::abs(v) < 0.08 ? 0.35 : 0;
                            return Mix(Mix(light, dark, Clamp01(0.25 + 0.5 * v + 0.2 * u)), dark,
                                       vein);
                        });
}

void DrawSunflower(TPicture& picture, double x, double groundY, double r, double stem,
                   TRandom& random) {
    // All in fine pixels. A sunflower field faces one way; each head leans a little.
    const double headY = groundY - stem;
    const double lean = random.Range(-0.25, 0.25);
    const double squash = random.Range(0.78, 0.95);
    if (r < 1.6) {
        picture.FillCircle(x, headY, std::max(r, 0.9),
                           Mix(TRgb{236, 186, 24}, TRgb{250, 212, 52}, random.Next()));
        return;
    }
    const TRgb stalk{52, 96, 34};
    picture.Stroke(x, headY, x + random.Range(-0.2, 0.2) * r, groundY + r * 2,
                   std::max(1.0, r * 0.16), stalk);
    DrawLeaf(picture, x, headY + r * 1.5, r * 0.9, random.Range(0.15, 0.6), random);
    DrawLeaf(picture, x, headY + r * 2.2, r * 0.95, Pi - random.Range(0.15, 0.6), random);

    const int petals = r < 5 ? 12 : 20;
    const double turn = random.Range(0, 2 * Pi);
    const TRgb base{222, 132, 14}, tip{255, 214, 42};
    for (int ring = 0; ring < 2; ++ring) {
        for (int i = 0; i < petals; ++i) {
            const double a = turn + (i + ring * 0.5) * 2 * Pi / petals;
            const double reach = r * (ring == 0 ? 0.70 : 0.62);
            const double px = x + std::cos(a) * reach, py = headY + std::sin(a) * reach * squash;
            const double shade = ring == 0 ? 0.85 + 0.15 * random.Next() : 1.0;
            picture.FillEllipse(px, py, r * 0.40, r * 0.13,
                                std::atan2(std::sin(a) * squash, std::cos(a)),
                                [&](double u, double) {
                                    return Scale(Mix(base, tip, Clamp01(0.55 + 0.5 * u)), shade);
                                });
        }
    }
    // The seed disc: dark, a rim of ripening florets, a speckled middle.
    const double disc = r * 0.42;
    picture.FillEllipse(
        x + lean * disc * 0.2, headY, disc, disc * squash, 0, [&](double u, double v) {
            const double d = std::sqrt(u * u + v * v);
            const double speckle = Hash(static_cast<int>(u * 40), static_cast<int>(v * 40), 71);
            TRgb colour = Mix(TRgb{58, 34, 14}, TRgb{96, 58, 20}, speckle);
            colour = Mix(colour, TRgb{138, 92, 24}, SmoothStep(0.72, 0.95, d));
            return Scale(colour, 1.0 - 0.25 * Clamp01(v + 0.3));
        });
}

void DrawSunflowers(TPicture& picture, TRandom& random) {
    // Rows at increasing depth; drawn from the back so nearer heads cover farther ones.
    std::vector<double> depths;
    for (double z = 0.95; z < 42; z *= 1.075) {
        depths.push_back(z);
    }
    std::reverse(depths.begin(), depths.end());
    for (double z : depths) {
        const double groundY = (HorizonY + FieldDepth / z) * Sub;
        const double r = 17.0 / z * Sub;
        const double stem = 34.0 / z * Sub;
        const double spacing = 30.0 / z * Sub;
        for (double x = random.Range(-spacing, 0); x < W + spacing;
             x += spacing * random.Range(0.75, 1.25)) {
            DrawSunflower(picture, x + random.Range(-0.2, 0.2) * spacing,
                          groundY + random.Range(-0.3, 0.3) * stem, r * random.Range(0.85, 1.15),
                          stem, random);
        }
    }
}

bool WriteStored(const char* path, const std::vector<std::uint8_t>& rgb) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error); // a failure here ends the tool, which is fine
    jpeg_create_compress(&info);
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &jpeg, &size);
    info.image_width = Width;
    info.image_height = Height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);
    info.write_JFIF_header = TRUE;
    info.JFIF_major_version = 1;
    info.JFIF_minor_version = 1;
    info.density_unit = 1; // dots per inch
    info.X_density = 144;
    info.Y_density = 144;
    info.optimize_coding = TRUE;
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<std::uint8_t*>(rgb.data()) + std::size_t{info.next_scanline} * Width * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::free(jpeg);
        return false;
    }
    const std::uint8_t count[4] = {
        static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
        static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    const bool ok = std::fwrite("TJPEGImage", 1, 10, out) == 10 &&
                    std::fwrite(count, 1, 4, out) == 4 && std::fwrite(jpeg, 1, size, out) == size;
    std::free(jpeg);
    std::printf("JPEG of %lu bytes\n", size);
    return std::fclose(out) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_about_photo <resources/about_photo.dat>\n");
        return 2;
    }
    TPicture picture;
    TRandom random(20010920);
    DrawSky(picture);
    DrawHills(picture);
    DrawHorizon(picture, random);
    DrawFieldGround(picture);
    DrawSunflowers(picture, random);
    if (!WriteStored(argv[1], picture.Averaged())) {
        std::fprintf(stderr, "gen_about_photo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
