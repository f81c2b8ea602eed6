#include "figexport/PngEncoder.h"

#include <QImage>

#include <zlib.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quendrix {
namespace {

void put32(QByteArray& out, std::uint32_t v) {
    const std::array<char, 4> bytes{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes.data(), 4);
}

void chunk(QByteArray& out, const char* type, const QByteArray& data) {
    put32(out, std::uint32_t(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* typed = reinterpret_cast<const Bytef*>(out.constData() + start);
    put32(out, std::uint32_t(crc32(0, typed, uInt(out.size() - start))));
}

/// The image's rows as the PNG filter "Up" makes them: a filter byte, then each RGB byte less
/// the byte above it, so that flat areas become runs of zeros.
class UpFilter {
  public:
    explicit UpFilter(int width) : row_(size_t(width) * 3 + 1), previous_(size_t(width) * 3) {}

    const std::vector<Bytef>& filter(const QRgb* pixels, int width) {
        row_[0] = 2;
        Bytef* out = row_.data() + 1;
        Bytef* up = previous_.data();
        for (int x = 0; x < width; ++x) {
            const std::array<Bytef, 3> rgb{Bytef(qRed(pixels[x])), Bytef(qGreen(pixels[x])),
                                           Bytef(qBlue(pixels[x]))};
            for (const Bytef b : rgb) {
                *out++ = Bytef(b - *up);
                *up++ = b;
            }
        }
        return row_;
    }

  private:
    std::vector<Bytef> row_;
    std::vector<Bytef> previous_;
};

QByteArray deflated(const QImage& image) {
    z_stream z{};
    // Level 3: the figures' flat areas compress almost as well as at the default level.
    if (deflateInit(&z, 3) != Z_OK) {
        return {};
    }
    // Ended however this returns: growing the output throws when memory runs out.
    const std::unique_ptr<z_stream, int (*)(z_streamp)> end(&z, deflateEnd);
    QByteArray out;
    std::array<Bytef, 1 << 16> buffer{};
    UpFilter up(image.width());
    bool ok = true;
    auto drain = [&](int flush) {
        do {
            z.next_out = buffer.data();
            z.avail_out = uInt(buffer.size());
            const int st = deflate(&z, flush);
            ok = ok && st != Z_STREAM_ERROR;
            out.append(reinterpret_cast<const char*>(buffer.data()),
                       qsizetype(buffer.size() - z.avail_out));
        } while (ok && z.avail_out == 0);
    };
    for (int y = 0; y < image.height() && ok; ++y) {
        const auto& row =
            up.filter(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width());
        z.next_in = const_cast<Bytef*>(row.data());
        z.avail_in = uInt(row.size());
        drain(Z_NO_FLUSH);
    }
    drain(Z_FINISH);
    return ok ? out : QByteArray();
}

} // namespace

QByteArray encodePng(const QImage& source) {
    if (source.isNull()) {
        return {};
    }
    const QImage image = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    const QByteArray data = deflated(image);
    if (data.isEmpty()) {
        return {};
    }
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    put32(header, std::uint32_t(image.width()));
    put32(header, std::uint32_t(image.height()));
    header.append("\x08\x02\x00\x00\x00",
                  5); // 8 bits, RGB, deflate, standard filters, no interlace
    chunk(out, "IHDR", header);
    QByteArray resolution;
    put32(resolution, std::uint32_t(image.dotsPerMeterX()));
    put32(resolution, std::uint32_t(image.dotsPerMeterY()));
    resolution.append('\x01'); // per metre
    chunk(out, "pHYs", resolution);
    chunk(out, "IDAT", data);
    chunk(out, "IEND", {});
    return out;
}

} // namespace quendrix
