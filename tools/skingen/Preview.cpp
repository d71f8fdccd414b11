// Review pictures: the windows as the toolkit will compose them (skin, page
// picture, controls at their rectangles in chosen states), so the artwork can
// be checked for alignment without running the program. Not embedded.

#include "Preview.h"

#include "KeyButtonLayout.h"
#include "SkinPaint.h"

#include <QDir>
#include <QPainter>

#include <map>

namespace
{

class CPreviewSet
{
public:
    explicit CPreviewSet(const std::vector<GeneratedResource>& vecResources)
    {
        for (const GeneratedResource& res : vecResources)
            m_mapImages[{static_cast<int>(res.m_eKind), res.m_nId}] = res.m_image;
    }

    QImage Get(EResourceKind eKind, int nId) const
    {
        auto it = m_mapImages.find({static_cast<int>(eKind), nId});
        return it == m_mapImages.end() ? QImage() : it->second;
    }

    // One frame of a PNG strip, stretched into rect.
    void Strip(QPainter& painter, int nId, int nFrames, int nFrame, const QRect& rect) const
    {
        const QImage image = Get(EResourceKind::Png, nId);
        if (image.isNull())
            return;
        const int nWidth = image.width() / nFrames;
        painter.drawImage(rect, image, QRect(nFrame * nWidth, 0, nWidth, image.height()));
    }

    // One frame of a bitmap button, the colour at (0, 0) left transparent.
    void Keyed(QPainter& painter, int nId, int nFrame, const QRect& rect) const
    {
        QImage image = Get(EResourceKind::Bitmap, nId).convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            return;
        const QRgb key = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == key)
                    image.setPixel(x, y, 0);
        const int nWidth = image.width() / 3;
        painter.drawImage(rect, image, QRect(nFrame * nWidth, 0, nWidth, image.height()));
    }

    // A window skin with its shape colour cut away, over a neutral desk.
    QImage Window(int nId, QSize size) const
    {
        QImage skin = Get(EResourceKind::Bitmap, nId).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < skin.height(); ++y)
            for (int x = 0; x < skin.width(); ++x)
                if (skin.pixel(x, y) == qRgb(255, 255, 0))
                    skin.setPixel(x, y, 0);
        QImage out(size, QImage::Format_RGB32);
        out.fill(QColor(70, 74, 82));
        QPainter painter(&out);
        painter.drawImage(0, 0, skin);
        return out;
    }

private:
    std::map<std::pair<int, int>, QImage> m_mapImages;
};

void Caption(QPainter& painter, const QRect& rect, const QString& strText, const QColor& colour, int nFlags)
{
    painter.save();
    painter.setPen(colour);
    painter.setFont(UiFont(12));
    painter.drawText(rect, nFlags | Qt::TextSingleLine, strText);
    painter.restore();
}

void ScrollBar(QPainter& painter, const CPreviewSet& set, const QRect& rect)
{
    painter.fillRect(rect, QColor(1, 1, 1));
    set.Strip(painter, 188, 3, 0, QRect(rect.left(), rect.top(), 21, 17));
    set.Strip(painter, 187, 3, 0, QRect(rect.left(), rect.bottom() - 16, 21, 17));
    const QRect thumb(rect.left(), rect.top() + 17, 21, 80);
    painter.fillRect(thumb, QColor(31, 31, 31));
    painter.fillRect(thumb.adjusted(1, 1, -1, -1), QColor(50, 50, 50));
}

void CommonControls(QPainter& painter, const CPreviewSet& set, int nPage)
{
    set.Strip(painter, 135, 3, 0, QRect(741, 66, 22, 22));
    set.Strip(painter, 136, 3, 1, QRect(675, 57, 21, 21));
    const int tabs[4][4] = {{137, 174, 65, 0}, {262, 276, 47, 1}, {263, 468, 53, 2}, {264, 558, 53, 3}};
    for (const auto& tab : tabs)
        set.Strip(painter, tab[0], 3, tab[3] == nPage ? 2 : 0, QRect(tab[1], 531, tab[2], 26));
    set.Strip(painter, 166, 3, 0, QRect(511, 101, 30, 28));
    set.Strip(painter, 167, 3, 1, QRect(605, 109, 30, 20));
    set.Strip(painter, 168, 3, 0, QRect(559, 106, 30, 23));
    set.Strip(painter, 171, 3, 2, QRect(264, 562, 68, 21));
    set.Strip(painter, 170, 3, 1, QRect(364, 562, 71, 21));
    set.Strip(painter, 169, 3, 0, QRect(466, 562, 71, 21));
    set.Strip(painter, 164, 3, 0, QRect(49, 529, 88, 25));
    set.Strip(painter, 257, 3, 0, QRect(665, 529, 86, 25));
}

QImage MainPreview(const CPreviewSet& set, int nPage)
{
    QImage out = set.Window(129, QSize(800, 634));
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int pages[4] = {0, 261, 259, 260};
    if (nPage > 0)
        painter.drawImage(QRect(47, 137, 702, 388), set.Get(EResourceKind::Png, pages[nPage]));
    if (nPage == 3)
        painter.fillRect(QRect(75, 150, 272, 15), QColor(0, 255, 255));
    CommonControls(painter, set, nPage);
    switch (nPage)
    {
    case 0:
        for (const KeyButtonLayout& key : KeyButtonLayoutTable)
        {
            int nFrame = 0;
            if (key.m_nId == 2238 || key.m_nId == 2258 || key.m_nId == 2290 || key.m_nId == 2294)
                nFrame = 2; // remapped
            if (key.m_nId == 2262)
                nFrame = 1;
            set.Strip(painter, key.m_nImageId, 3, nFrame, QRect(key.m_nLeft, key.m_nTop, key.m_nWidth, key.m_nHeight));
        }
        break;
    case 1:
    {
        set.Strip(painter, 267, 3, 0, QRect(78, 460, 86, 23));
        set.Strip(painter, 268, 3, 1, QRect(169, 460, 86, 23));
        set.Strip(painter, 269, 3, 0, QRect(293, 460, 86, 23));
        set.Strip(painter, 270, 3, 0, QRect(384, 460, 86, 23));
        set.Strip(painter, 156, 7, 3, QRect(521, 379, 16, 16));
        set.Strip(painter, 156, 7, 0, QRect(520, 239, 16, 16));
        set.Strip(painter, 189, 7, 0, QRect(517, 202, 157, 29));
        painter.fillRect(QRect(81, 194, 149, 248), QColor(5, 16, 38));
        painter.fillRect(QRect(294, 194, 150, 248), QColor(5, 16, 38));
        const char* macros[] = {"Combo", "Reload", "Greeting"};
        for (int i = 0; i < 3; ++i)
        {
            const QRect row(83, 194 + 20 * i, 145, 20);
            if (i == 1)
                painter.fillRect(row, QColor(53, 160, 222));
            Caption(painter, row, macros[i], Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        }
        const char* actions[] = {"A Press", "50ms", "A Release", "B Press"};
        const int icons[] = {192, 193, 191, 192};
        for (int i = 0; i < 4; ++i)
        {
            const QRect row(311, 194 + 20 * i, 131, 20);
            painter.drawImage(QPoint(296, row.top() + 3), set.Get(EResourceKind::Png, icons[i]));
            Caption(painter, row, actions[i], Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        }
        ScrollBar(painter, set, QRect(231, 194, 21, 247));
        ScrollBar(painter, set, QRect(445, 194, 21, 247));
        painter.fillRect(QRect(521, 404, 93, 22), Qt::white);
        Caption(painter, QRect(525, 404, 80, 22), "3", Qt::black, Qt::AlignVCenter | Qt::AlignLeft);
        break;
    }
    case 2:
    {
        const int tops[5] = {247, 288, 330, 370, 412};
        for (int i = 0; i < 5; ++i)
        {
            set.Strip(painter, 265, 5, i == 1 ? 1 : 0, QRect(93, tops[i], 229, 30));
            Caption(painter, QRect(97, tops[i] + 1, 225, 29), QString("CTRL+%1").arg(i + 1), Qt::white,
                    Qt::AlignVCenter | Qt::AlignLeft);
        }
        break;
    }
    case 3:
        set.Strip(painter, 266, 5, 0, QRect(61, 273, 166, 30));
        Caption(painter, QRect(65, 274, 160, 29), "Cyan", Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        set.Strip(painter, 266, 5, 1, QRect(61, 365, 166, 30));
        Caption(painter, QRect(65, 366, 160, 29), "100%", Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        break;
    default: break;
    }
    return out;
}

void DialogButtons(QPainter& painter, const CPreviewSet& set, int nClose, QPoint close, QPoint ok, QPoint cancel)
{
    const QImage closeImage = set.Get(EResourceKind::Bitmap, nClose);
    set.Keyed(painter, nClose, 0, QRect(close, QSize(closeImage.width() / 3, closeImage.height())));
    set.Keyed(painter, 162, 0, QRect(ok, QSize(73, 29)));
    set.Keyed(painter, 163, 1, QRect(cancel, QSize(66, 29)));
}

QImage DialogsPreview(const CPreviewSet& set)
{
    QImage sheet(1260, 580, QImage::Format_RGB32);
    sheet.fill(QColor(70, 74, 82));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    auto place = [&](const QImage& image, int x, int y) { painter.drawImage(x, y, image); };

    { // Shortcut dialog.
        QImage dlg = set.Window(153, QSize(420, 206));
        QPainter p(&dlg);
        DialogButtons(p, set, 381, {391, 3}, {16, 162}, {118, 162});
        const int boxes[5] = {22, 83, 136, 186, 232};
        for (int i = 0; i < 5; ++i)
            set.Strip(p, 156, 7, i == 1 || i == 3 ? 3 : 0, QRect(boxes[i], 104, 12, 12));
        Caption(p, QRect(287, 100, 118, 20), "A", Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        p.end();
        place(dlg, 10, 10);
    }
    { // Quick launch dialog.
        QImage dlg = set.Window(176, QSize(305, 245));
        QPainter p(&dlg);
        DialogButtons(p, set, 383, {276, 4}, {71, 200}, {173, 200});
        set.Strip(p, 177, 3, 0, QRect(258, 87, 22, 18));
        Caption(p, QRect(26, 87, 230, 18), "/usr/bin/gnome-calculator", Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        p.end();
        place(dlg, 440, 10);
    }
    { // Key map dialog.
        QImage dlg = set.Window(272, QSize(400, 270));
        QPainter p(&dlg);
        DialogButtons(p, set, 154, {365, 8}, {223, 230}, {325, 230});
        set.Strip(p, 276, 3, 0, QRect(247, 72, 99, 23));
        Caption(p, QRect(118, 77, 126, 23), "Esc", Qt::white, Qt::AlignLeft);
        Caption(p, QRect(180, 116, 166, 19), "Q", Qt::white, Qt::AlignLeft);
        set.Keyed(p, 275, 2, QRect(37, 117, 19, 19));
        set.Keyed(p, 275, 0, QRect(37, 159, 19, 19));
        set.Strip(p, 273, 5, 0, QRect(136, 154, 210, 21));
        Caption(p, QRect(140, 155, 206, 20), "Click", Qt::white, Qt::AlignVCenter | Qt::AlignLeft);
        p.end();
        place(dlg, 760, 10);
    }
    { // Attention dialog.
        QImage dlg = set.Window(380, QSize(400, 270));
        QPainter p(&dlg);
        DialogButtons(p, set, 154, {365, 8}, {223, 230}, {325, 230});
        Caption(p, QRect(21, 11, 154, 20), "Attention!", QColor(82, 146, 254), Qt::AlignLeft);
        Caption(p, QRect(2, 127, 398, 20),
                QString::fromUtf8("The keyboard is disconnection\xEF\xBC\x8CPlease connect!"), Qt::white,
                Qt::AlignHCenter);
        p.end();
        place(dlg, 10, 300);
    }
    for (int i = 0; i < 2; ++i)
    { // Reset dialogs.
        QImage dlg = set.Window(i == 0 ? 165 : 258, QSize(400, 270));
        QPainter p(&dlg);
        DialogButtons(p, set, 154, {365, 8}, {223, 230}, {325, 230});
        p.end();
        place(dlg, 430 + i * 420, 300);
    }
    return sheet;
}

} // namespace

void WritePreviews(const QString& strFolder, const std::vector<GeneratedResource>& vecResources)
{
    const CPreviewSet set(vecResources);
    const QDir dir(strFolder);
    const char* names[4] = {"preview_keys.png", "preview_macro.png", "preview_pkeys.png", "preview_lighting.png"};
    for (int nPage = 0; nPage < 4; ++nPage)
        MainPreview(set, nPage).save(dir.filePath(names[nPage]), "PNG");
    // The keyboard enlarged, to judge the legends pixel by pixel.
    const QImage keyboard = MainPreview(set, 0).copy(QRect(112, 230, 560, 180));
    keyboard.scaled(keyboard.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(dir.filePath("preview_keys_zoom.png"), "PNG");
    DialogsPreview(set).save(dir.filePath("preview_dialogs.png"), "PNG");
}
