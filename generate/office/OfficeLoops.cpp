#include "generate/office/OfficeLoops.h"

#include "generate/office/OfficeStrings.h"

#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/XPersistentLibraryContainer.hpp>
#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <com/sun/star/script/provider/XScriptProviderFactory.hpp>
#include <com/sun/star/script/provider/theMasterScriptProviderFactory.hpp>

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

const QString Library = QStringLiteral("LumarelLoops");
const QString Module = QStringLiteral("Places");
// Chr(1) cannot be in a tag, which is all a place holds.
constexpr char16_t Separator = u'\x01';

// Replaced whenever a profile holds another, so that an office always runs
// this version's.
const char Source[] =
    R"(Option Explicit

Function RangesOf(places As Object) As Variant
    Dim n As Long, i As Long
    n = places.getCount()
    If n = 0 Then
        RangesOf = Array()
        Exit Function
    End If
    Dim ranges(n - 1) As Object
    For i = 0 To n - 1
        ranges(i) = places.getByIndex(i)
    Next i
    RangesOf = ranges
End Function

Function TextsOf(ranges As Variant) As String
    Dim n As Long, i As Long
    n = UBound(ranges) + 1
    If n = 0 Then
        TextsOf = ""
        Exit Function
    End If
    Dim texts(n - 1) As String
    For i = 0 To n - 1
        texts(i) = ranges(i).getString()
    Next i
    TextsOf = Join(texts, Chr(1))
End Function

Function ReadTexts(places As Object) As String
    ReadTexts = TextsOf(RangesOf(places))
End Function

Function WriteRanges(ranges As Variant, which As Variant, values As Variant, inLink As Variant) As Long
    Dim k As Long, written As Long
    written = 0
    If UBound(ranges) >= 0 Then
        For k = LBound(which) To UBound(which)
            If inLink(k) Then
                WriteInside(ranges(which(k)), values(k))
            Else
                ranges(which(k)).setString(values(k))
            End If
            written = written + 1
        Next k
    End If
    WriteRanges = written
End Function

Function WriteTexts(places As Object, which As Variant, values As Variant, inLink As Variant) As Long
    WriteTexts = WriteRanges(RangesOf(places), which, values, inLink)
End Function

Function Linked(places As Object) As String
    Dim n As Long, i As Long, s As String
    n = places.getCount()
    s = ""
    For i = 0 To n - 1
        If Len(places.getByIndex(i).HyperLinkURL) > 0 Then
            s = s & "1"
        Else
            s = s & "0"
        End If
    Next i
    Linked = s
End Function

Sub WriteInside(place As Object, value As String)
    Dim t As Object, c As Object, n As Long
    n = Len(place.getString())
    t = place.getText()
    c = t.createTextCursorByRange(place.getStart())
    c.goRight(1, False)
    t.insertString(c, value, False)
    c = t.createTextCursorByRange(place.getEnd())
    c.goLeft(n - 1, True)
    c.setString("")
    c = t.createTextCursorByRange(place.getStart())
    c.goRight(1, True)
    c.setString("")
End Sub

Sub TakeBack(doc As Object)
    Dim undo As Object, view As Object
    undo = doc.getUndoManager()
    undo.undo()
    undo.clearRedo()
    view = doc.getCurrentController()
    If Not IsNull(view) Then view.select(doc.getText().getStart())
End Sub

Function Refill(doc As Object, pattern As String, expected As String, loaded As String, which As Variant, values As Variant, inLink As Variant, title As String) As Long
    Dim search As Object, ranges As Variant, undo As Object
    search = doc.createSearchDescriptor()
    search.SearchRegularExpression = True
    search.SearchString = pattern
    ranges = RangesOf(doc.findAll(search))
    If TextsOf(ranges) <> expected Then
        Refill = -1
        Exit Function
    End If
    If Marks(doc) <> loaded Then
        Refill = -1
        Exit Function
    End If
    undo = doc.getUndoManager()
    undo.enterUndoContext(title)
    WriteRanges(ranges, which, values, inLink)
    undo.leaveUndoContext()
    Refill = 0
    If undo.isUndoPossible() Then
        If undo.getCurrentUndoActionTitle() = title Then Refill = 1
    End If
End Function

Global lumarelPlaces(7) As Object, lumarelRanges(7) As Variant, lumarelNext As Long

Function HeldRanges(places As Object) As Variant
    Dim i As Long
    For i = 0 To 7
        If Not IsNull(lumarelPlaces(i)) Then
            If EqualUnoObjects(lumarelPlaces(i), places) Then
                HeldRanges = lumarelRanges(i)
                Exit Function
            End If
        End If
    Next i
    i = lumarelNext Mod 8
    lumarelNext = lumarelNext + 1
    lumarelPlaces(i) = places
    lumarelRanges(i) = RangesOf(places)
    HeldRanges = lumarelRanges(i)
End Function

Function Overwrite(doc As Object, places As Object, checked As Boolean, expected As String, loaded As String, which As Variant, values As Variant, after As String) As Long
    Dim ranges As Variant, undo As Object, k As Long
    Overwrite = -1
    ranges = HeldRanges(places)
    If Not checked Then
        If TextsOf(ranges) <> expected Then Exit Function
    End If
    If Marks(doc) <> loaded Then Exit Function
    undo = doc.getUndoManager()
    If Not undo.isLocked() Then
        undo.clear()
        undo.lock()
    End If
    For k = LBound(which) To UBound(which)
        ranges(which(k)).setString(values(k))
    Next k
    If TextsOf(ranges) = after Then Overwrite = 0
End Function

Function Marks(doc As Object) As String
    Dim s As String, i As Long, n As Long, names As Variant, items As Object
    names = doc.getBookmarks().getElementNames()
    For i = LBound(names) To UBound(names)
        s = s & names(i) & Chr(1) & doc.getBookmarks().getByName(names(i)).getAnchor().getString() & Chr(2)
    Next i
    n = 0
    items = doc.getTextFields().createEnumeration()
    Do While items.hasMoreElements()
        items.nextElement()
        n = n + 1
    Loop
    s = s & "f" & n & Chr(2) & Join(doc.getTextFrames().getElementNames(), Chr(1))
    Marks = s & Chr(2) & "s" & doc.getDrawPage().getCount()
End Function
)";

// Runs one of the module's functions with the given arguments; its answer.
template <size_t N>
Any invoke(const Reference<css::script::provider::XScript>& script, const Any (&arguments)[N])
{
    Sequence<sal_Int16> outIndexes;
    Sequence<Any> outValues;
    return script->invoke(Sequence<Any>(arguments, N), outIndexes, outValues);
}

OUString scriptUrl(const QString& function)
{
    return toOU(QStringLiteral("vnd.sun.star.script:") + Library + u'.' + Module + u'.' + function +
                QStringLiteral("?language=Basic&location=application"));
}

} // namespace

bool OfficeLoops::install(const Reference<css::uno::XComponentContext>& office) noexcept
{
    clear();
    try {
        const Reference<css::script::XLibraryContainer> libraries(
            office->getServiceManager()->createInstanceWithContext(
                OUString("com.sun.star.script.ApplicationScriptLibraryContainer"), office),
            UNO_QUERY_THROW);
        Reference<css::container::XNameContainer> library;
        if (libraries->hasByName(toOU(Library))) {
            libraries->loadLibrary(toOU(Library));
            library.set(libraries->getByName(toOU(Library)), UNO_QUERY_THROW);
        } else {
            library = libraries->createLibrary(toOU(Library));
        }
        // The profile is written only when it holds another version's module.
        const OUString source = OUString::createFromAscii(Source);
        OUString held;
        if (library->hasByName(toOU(Module)))
            library->getByName(toOU(Module)) >>= held;
        if (held != source) {
            if (library->hasByName(toOU(Module)))
                library->replaceByName(toOU(Module), Any(source));
            else
                library->insertByName(toOU(Module), Any(source));
            Reference<css::script::XPersistentLibraryContainer>(libraries, UNO_QUERY_THROW)
                ->storeLibraries();
        }
        const Reference<css::script::provider::XScriptProvider> provider =
            css::script::provider::theMasterScriptProviderFactory::get(office)
                ->createScriptProvider(Any(OUString()));
        m_read = provider->getScript(scriptUrl(QStringLiteral("ReadTexts")));
        m_write = provider->getScript(scriptUrl(QStringLiteral("WriteTexts")));
        m_marks = provider->getScript(scriptUrl(QStringLiteral("Marks")));
        m_linked = provider->getScript(scriptUrl(QStringLiteral("Linked")));
        m_takeBack = provider->getScript(scriptUrl(QStringLiteral("TakeBack")));
        m_refill = provider->getScript(scriptUrl(QStringLiteral("Refill")));
        m_overwrite = provider->getScript(scriptUrl(QStringLiteral("Overwrite")));
    } catch (...) {
        clear();
    }
    return installed();
}

void OfficeLoops::clear() noexcept
{
    m_read.clear();
    m_write.clear();
    m_marks.clear();
    m_linked.clear();
    m_takeBack.clear();
    m_refill.clear();
    m_overwrite.clear();
}

void OfficeLoops::TakeBack(const Reference<css::lang::XComponent>& document)
{
    const Any arguments[] = {Any(document)};
    invoke(m_takeBack, arguments);
}

QStringList OfficeLoops::ReadTexts(const Reference<css::container::XIndexAccess>& places)
{
    const Any arguments[] = {Any(places)};
    OUString joined;
    invoke(m_read, arguments) >>= joined;
    if (joined.isEmpty())
        return {};
    return toQ(joined).split(QChar(Separator));
}

namespace {

// The writing's arguments as the module takes them.
struct Writing {
    Writing(const QList<int>& which, const QStringList& values, const QList<bool>& inLink)
        : indexes(static_cast<sal_Int32>(which.size())),
          texts(static_cast<sal_Int32>(values.size())), links(static_cast<sal_Int32>(which.size()))
    {
        for (qsizetype k = 0; k < which.size(); ++k) {
            indexes.getArray()[k] = which.at(k);
            texts.getArray()[k] = toOU(values.at(k));
            links.getArray()[k] = inLink.value(k);
        }
    }
    Sequence<sal_Int32> indexes;
    Sequence<OUString> texts;
    Sequence<sal_Bool> links;
};

} // namespace

int OfficeLoops::Write(const Reference<css::container::XIndexAccess>& places,
                       const QList<int>& which, const QStringList& values,
                       const QList<bool>& inLink)
{
    const Writing w(which, values, inLink);
    const Any arguments[] = {Any(places), Any(w.indexes), Any(w.texts), Any(w.links)};
    sal_Int32 written = 0;
    invoke(m_write, arguments) >>= written;
    return written;
}

OfficeLoops::Refilled OfficeLoops::Refill(const Reference<css::lang::XComponent>& document,
                                          const OUString& pattern, const QStringList& expected,
                                          const QString& marks, const QList<int>& which,
                                          const QStringList& values, const QList<bool>& inLink,
                                          const QString& title)
{
    const Writing w(which, values, inLink);
    const Any arguments[] = {
        Any(document),    Any(pattern),    Any(toOU(expected.join(QChar(Separator)))),
        Any(toOU(marks)), Any(w.indexes),  Any(w.texts),
        Any(w.links),     Any(toOU(title))};
    sal_Int32 answer = -1;
    invoke(m_refill, arguments) >>= answer;
    return answer < 0 ? Refilled::NotAsLoaded : answer ? Refilled::Undoable : Refilled::NotUndoable;
}

bool OfficeLoops::Overwrite(const Reference<css::lang::XComponent>& document,
                            const Reference<css::container::XIndexAccess>& places, bool checked,
                            const QStringList& expected, const QString& marks,
                            const QList<int>& which, const QStringList& values,
                            const QStringList& after)
{
    const Writing w(which, values, {});
    // Once checked, the places are not read before writing: nothing to send.
    const QString unchecked = checked ? QString() : expected.join(QChar(Separator));
    const Any arguments[] = {
        Any(document),    Any(places),    Any(checked), Any(toOU(unchecked)),
        Any(toOU(marks)), Any(w.indexes), Any(w.texts), Any(toOU(after.join(QChar(Separator))))};
    sal_Int32 answer = -1;
    invoke(m_overwrite, arguments) >>= answer;
    return answer == 0;
}

QString OfficeLoops::Marks(const Reference<css::lang::XComponent>& document)
{
    const Any arguments[] = {Any(document)};
    OUString marks;
    invoke(m_marks, arguments) >>= marks;
    return toQ(marks);
}

QList<bool> OfficeLoops::Linked(const Reference<css::container::XIndexAccess>& places)
{
    const Any arguments[] = {Any(places)};
    OUString flags;
    invoke(m_linked, arguments) >>= flags;
    QList<bool> linked;
    for (const QChar c : toQ(flags))
        linked.append(c == u'1');
    return linked;
}
