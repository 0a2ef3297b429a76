// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesignFont.h"

#include <QFontDatabase>
#include <QResource>
#include <QStringList>
#include <QtMath>

namespace DesignFont {

namespace {

constexpr qreal DesignDotsPerInch = 96.0;
constexpr qreal PointsPerInch = 72.0;

QString &RegisteredFamily()
{
    static QString family;
    return family;
}

} // namespace

void InstallCarriedFaces()
{
    if (!RegisteredFamily().isEmpty())
        return;
    for (const char *face : {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"}) {
        // The faces are stored uncompressed in the executable: hand the font database the
        // bytes where they lie instead of a copy, which saves start-up time and memory.
        const QResource resource(QString::fromLatin1(face));
        const QByteArray bytes = resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), resource.size())
            : resource.uncompressedData();
        const int id = QFontDatabase::addApplicationFontFromData(bytes);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            RegisteredFamily() = families.first();
    }
    if (RegisteredFamily().isEmpty())
        RegisteredFamily() = QStringLiteral("Liberation Sans");
}

QString CarriedFamily()
{
    InstallCarriedFaces();
    return RegisteredFamily();
}

QFont Font(qreal points, bool bold)
{
    QFont font;
    font.setFamily(CarriedFamily());
    font.setPixelSize(qRound(points * DesignDotsPerInch / PointsPerInch));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace DesignFont
