<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The toolkit's own texts that the program shows and the toolkit's Ukrainian
     catalogue leaves in English (or gets wrong); loaded after that catalogue,
     so these win. Key names (Ctrl, Del, Shift) stay as on the keys. -->
<TS version="2.1" language="uk_UA">
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>Гаразд</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Тека</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Диск</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>Show </source>
        <translation>Показати: </translation>
    </message>
</context>
</TS>
