#include "platform/report/ReportFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
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

QFont font(const FontSpec& spec) {
    QFont f(family());
    f.setPixelSize(int(std::lround(spec.points * Dpi / 72.0)));
    f.setBold(spec.bold);
    // Hinting would make advances depend on the size on the device.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    f.setKerning(false);
    return f;
}

int textWidth(const QString& text, const FontSpec& spec) {
    return int(std::ceil(QFontMetricsF(font(spec), &reference()).horizontalAdvance(text)));
}

int lineHeight(const FontSpec& spec) {
    return int(std::ceil(QFontMetricsF(font(spec), &reference()).height()));
}

QString fitted(const QString& text, const FontSpec& spec, int width) {
    if (textWidth(text, spec) <= width)
        return text;
    return QFontMetricsF(font(spec), &reference()).elidedText(text, Qt::ElideRight, width);
}

} // namespace Report
