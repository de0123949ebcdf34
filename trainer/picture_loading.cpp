// Putting the drawn case's question and answer pictures on screen.

#include "trainer/cycle_internal.h"
#include "window/pictures.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QFileInfo>

namespace {

bool TwoSides(const TForm1& form)
{
    return form.state.currentSet == CaseSet::PLL && form.CheckBox1->isChecked();
}

QString FullPath(const TForm1& form, const QString& relative)
{
    return form.env.files.FindPicture(relative);
}

// Relative path of the answer to the question picture shown at the draw.
QString CurrentAnswerPath(const TForm1& form)
{
    const QStringList& files = form.state.pictureFiles;
    const int index = form.state.pictureIndex;
    const QString file = index >= 0 && index < files.size() ? files.at(index) : QString();
    return AnswerPicturePath(TwoSides(form), form.state.currentCase, file);
}

QuestionPicture MissingPicture(const TForm1& form, const QString& relative, bool doubleBlank = false)
{
    return {false, PictureMissingText(relative, form.state.russianInterface, doubleBlank)};
}

// A picture that exists but does not decode ends the attempt quietly.
QuestionPicture ShowQuestion(TForm1& form, const QString& path)
{
    const QImage picture = ReadPictureFile(path);
    if (picture.isNull())
        return {false, QString()};
    form.Image1->SetPicture(picture);
    return {};
}

QuestionPicture LoadEasyQuestion(TForm1& form)
{
    const QString relative = EasyPicturePath(form.state.currentSet, form.state.currentCase);
    if (!QFileInfo::exists(FullPath(form, relative))) {
        const bool doubleBlank = form.state.currentSet == CaseSet::PLL && !form.state.examActive;
        return MissingPicture(form, relative, doubleBlank);
    }
    return ShowQuestion(form, FullPath(form, relative));
}

// With a setup scramble the cube in the hands is the question: the Easy
// picture is read now, with the same checks, and kept for Stop.
QuestionPicture LoadScrambleAnswer(TForm1& form)
{
    const QuestionPicture easy = LoadEasyQuestion(form);
    if (!easy.shown)
        return easy;
    form.scrambleAnswer = form.Image1->Picture();
    form.Image1->ClearPicture();
    return easy;
}

// The Hard pictures of the case's folder; none is a problem to report.
QuestionPicture ListCasePictures(TForm1& form, const QString& folder)
{
    TrainerState& state = form.state;
    state.pictureFiles += form.env.files.ListPictures(folder);
    if (!state.pictureFiles.isEmpty())
        return {};
    return {false, FolderWithoutPicturesText(InFolder(form.env.files.dataFolder, folder), state.russianInterface)};
}

QuestionPicture LoadHardQuestion(TForm1& form)
{
    const QString folder = HardPictureFolder(form.state.currentSet, TwoSides(form), form.state.currentCase);
    form.state.pictureFiles.clear();
    if (const QuestionPicture listed = ListCasePictures(form, folder); !listed.shown)
        return listed;
    form.env.random->Reseed();
    // Every picture of the folder has the same chance.
    form.state.pictureIndex = form.env.random->Uniform(static_cast<int>(form.state.pictureFiles.size()));
    const QString relative = folder + form.state.pictureFiles.at(form.state.pictureIndex);
    if (!QFileInfo::exists(FullPath(form, relative)))
        return MissingPicture(form, relative);
    return ShowQuestion(form, FullPath(form, relative));
}

} // namespace

namespace cycle {

void ReportAnswerProblem(TForm1& form)
{
    const QString relative = CurrentAnswerPath(form);
    const bool russian = form.state.russianInterface;
    if (QFileInfo::exists(FullPath(form, relative)))
        form.env.messages->Inform(PictureUnreadableText(relative, russian));
    else
        form.env.messages->Inform(PictureMissingText(relative, russian));
}

} // namespace cycle

QuestionPicture LoadQuestionPicture(TForm1& form)
{
    if (ScrambleMode(form))
        return LoadScrambleAnswer(form);
    return form.state.level == Level::Easy ? LoadEasyQuestion(form) : LoadHardQuestion(form);
}

bool LoadAnswerPicture(TForm1& form)
{
    const TrainerState& state = form.state;
    if (state.pictureIndex < 0 || state.pictureIndex >= state.pictureFiles.size())
        return false;
    const QImage answer = ReadPictureFile(FullPath(form, CurrentAnswerPath(form)));
    if (answer.isNull())
        return false;
    form.Image1->SetPicture(answer);
    return true;
}
