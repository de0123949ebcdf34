#include "about/abouttexts.h"

#include <QStringList>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

AboutTexts RussianTexts()
{
    AboutTexts texts;
    texts.title = QStringLiteral("О программе");
    texts.notesHeading = QStringLiteral("Примечания по использованию");
    texts.thanks = QStringLiteral("За вдохновение спасибо Varnok");
    texts.ok = QStringLiteral("ОК");
    texts.notes = QStringList{
        QStringLiteral("Щелкните картинку любого алгоритма в таблице, чтобы включить или выключить его. "),
        QStringLiteral("Щелкните картинку в таблице правой кнопкой мыши, чтобы отобразить подсказку для "
                       "соответствующего алгоритма. Алгоритмы можно изменить, щелкнув подсказку правой "
                       "кнопкой мыши. Если вы привыкли к другой ориентации кубика для какого-либо "
                       "алгоритма, поверните соответствующую картинку в папке Images\\OLL или "
                       "Images\\PLL с помощью любого графического редактора."),
        QStringLiteral("Цвета индикаторов для активных и неактивных алгоритмов, а также секундомера, "
                       "можно изменить в файле Settings.ini. Используется формат $00BBGGRR."),
    }.join(kLineBreak);
    texts.notesHeight = 146;
    texts.clientHeight = 325;
    texts.notesPanelHeight = 180;
    texts.okTop = 291;
    return texts;
}

AboutTexts EnglishTexts()
{
    AboutTexts texts;
    texts.title = QStringLiteral("About");
    texts.notesHeading = QStringLiteral("Notes");
    texts.thanks = QStringLiteral("Inspired by Varnok");
    texts.ok = QStringLiteral("OK");
    texts.notes = QStringList{
        QStringLiteral("Click the algorithm thumbnail to enable or disable this algorithm."),
        QStringLiteral("Right-click the algorithm thumbnail to show algorithm hint. Right-click the hint if "
                       "you want to edit it. If you are not used to the orientations suggested, you can "
                       "rotate the pictures in Images\\OLL or Images\\PLL folder using any graphics editor."),
        QStringLiteral("You can change the color of the algorithm time indicators and stopwatch in "
                       "Settings.ini. The format used is $00BBGGRR."),
    }.join(kLineBreak);
    texts.notesHeight = 93;
    texts.clientHeight = 272;
    texts.notesPanelHeight = 127;
    texts.okTop = 238;
    return texts;
}

} // namespace

AboutTexts AboutTextsFor(bool russian)
{
    return russian ? RussianTexts() : EnglishTexts();
}
