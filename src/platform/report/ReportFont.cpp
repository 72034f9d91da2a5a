#include "platform/report/ReportFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QRawFont>
#include <cmath>

namespace Report {
namespace {

// Loads the bundled faces once; their family name is the one to ask for.
QString family() {
    static const QString name = [] {
        QString found = QStringLiteral("DejaVu Sans");
        for (const char* file :
             {":/report/fonts/DejaVuSans.ttf", ":/report/fonts/DejaVuSans-Bold.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QLatin1String(file));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                found = families.first();
        }
        return found;
    }();
    return name;
}

// A device at exactly 1200 dpi to measure on.
const QImage& reference() {
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(Dpi / 0.0254));
        i.setDotsPerMeterX(dotsPerMeter);
        i.setDotsPerMeterY(dotsPerMeter);
        return i;
    }();
    return image;
}

} // namespace

namespace {

// A font and its metrics at the reference resolution, made once per size and weight.
struct Face {
    QFont font;
    QFontMetricsF metrics;
    // Listings repeat the same short texts (dates, "Não", digits) thousands of times.
    QHash<QString, int> widths;
};

QFont makeFont(const FontSpec& spec) {
    QFont f(family());
    f.setPixelSize(int(std::lround(spec.points * Dpi / 72.0)));
    f.setBold(spec.bold);
    // Hinting would make advances depend on the size on the device.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    f.setKerning(false);
    return f;
}

Face& face(const FontSpec& spec) {
    static QHash<int, Face*> faces;
    const int key = int(std::lround(spec.points * 100)) * 2 + (spec.bold ? 1 : 0);
    Face*& f = faces[key];
    if (!f) {
        const QFont font = makeFont(spec);
        f = new Face{font, QFontMetricsF(font, &reference()), {}};
    }
    return *f;
}

} // namespace

const QFont& font(const FontSpec& spec) {
    return face(spec).font;
}

int textWidth(const QString& text, const FontSpec& spec) {
    Face& f = face(spec);
    if (const auto it = f.widths.constFind(text); it != f.widths.constEnd())
        return *it;
    if (f.widths.size() > 50000)
        f.widths.clear();
    const int w = int(std::ceil(f.metrics.horizontalAdvance(text)));
    f.widths.insert(text, w);
    return w;
}

int lineHeight(const FontSpec& spec) {
    return int(std::ceil(face(spec).metrics.height()));
}

int ascent(const FontSpec& spec) {
    return int(std::lround(face(spec).metrics.ascent()));
}

int descent(const FontSpec& spec) {
    return int(std::lround(face(spec).metrics.descent()));
}

QString fitted(const QString& text, const FontSpec& spec, int width) {
    if (textWidth(text, spec) <= width)
        return text;
    return face(spec).metrics.elidedText(text, Qt::ElideRight, width);
}

} // namespace Report
