<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Upgrader</name>
    <message>
        <source>Wrong file header</source>
        <translation>Nieprawidłowy nagłówek pliku</translation>
    </message>
    <message>
        <source>Wrong file version</source>
        <translation>Nieprawidłowa wersja pliku</translation>
    </message>
    <message>
        <source>Wrong file size</source>
        <translation>Nieprawidłowy rozmiar pliku</translation>
    </message>
</context>
<context>
    <name>Vt410_bootloader</name>
    <message>
        <source>Vt520 ver. </source>
        <translation>Vt520 wer. </translation>
    </message>
    <message>
        <source>HexToBin error: %1)</source>
        <translation>Błąd HexToBin: %1)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>Błąd pliku</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>Nie można zapisać pliku %1</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Otwórz plik</translation>
    </message>
    <message>
        <source>Hex (*.hex)</source>
        <translation>Hex (*.hex)</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Zapisz plik</translation>
    </message>
    <message>
        <source>Upg (*.upg)</source>
        <translation>Upg (*.upg)</translation>
    </message>
    <message>
        <source>Open Bootloader File</source>
        <translation>Otwórz plik bootloadera</translation>
    </message>
    <message>
        <source>Production year</source>
        <translation>Rok produkcji</translation>
    </message>
    <message>
        <source>Year(YY)</source>
        <translation>Rok (RR)</translation>
    </message>
    <message>
        <source>Production mont</source>
        <translation>Miesiąc produkcji</translation>
    </message>
    <message>
        <source>Month(MM)</source>
        <translation>Miesiąc (MM)</translation>
    </message>
    <message>
        <source>Production number</source>
        <translation>Numer produkcyjny</translation>
    </message>
    <message>
        <source>Number(NNN)</source>
        <translation>Numer (NNN)</translation>
    </message>
    <message>
        <source>Iteration</source>
        <translation>Liczba sztuk</translation>
    </message>
    <message>
        <source>Count:</source>
        <translation>Ilość:</translation>
    </message>
    <message>
        <source>Read From Vt350</source>
        <translation>Odczyt z Vt350</translation>
    </message>
    <message>
        <source>Address (hex)</source>
        <translation>Adres (hex)</translation>
    </message>
    <message>
        <source>Length (dec)</source>
        <translation>Długość (dec)</translation>
    </message>
    <message>
        <source>error</source>
        <translation>błąd</translation>
    </message>
    <message>
        <source>Conversion error</source>
        <translation>Błąd konwersji</translation>
    </message>
    <message>
        <source>Fill pattern</source>
        <translation>Wzór wypełnienia</translation>
    </message>
    <message>
        <source>Number (dec)</source>
        <translation>Liczba (dec)</translation>
    </message>
    <message>
        <source>Bin (*.bin)</source>
        <translation>Bin (*.bin)</translation>
    </message>
    <message>
        <source>Length error</source>
        <translation>Błąd długości</translation>
    </message>
    <message>
        <source>Length should be aligned to 4</source>
        <translation>Długość musi być wielokrotnością 4</translation>
    </message>
    <message>
        <source>WriteExternalFlashToAddress</source>
        <translation>Błąd zapisu pamięci zewnętrznej</translation>
    </message>
    <message>
        <source>ReadExternalFlashFromAddress</source>
        <translation>Błąd odczytu pamięci zewnętrznej</translation>
    </message>
    <message>
        <source>memcmp</source>
        <translation>Weryfikacja nieudana: dane różne</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Informacja</translation>
    </message>
    <message>
        <source>Write OK</source>
        <translation>Zapis poprawny</translation>
    </message>
    <message>
        <source>Write To External Flash Vt350</source>
        <translation>Zapis pamięci zewnętrznej Vt350</translation>
    </message>
    <message>
        <source>Data(hex)</source>
        <translation>Dane (hex)</translation>
    </message>
    <message>
        <source>Read External Flash From Vt350</source>
        <translation>Odczyt pamięci zewnętrznej Vt350</translation>
    </message>
    <message>
        <source>ReadExternalFlashFromAddress error</source>
        <translation>Błąd odczytu pamięci zewnętrznej</translation>
    </message>
</context>
<context>
    <name>Vt410_bootloaderClass</name>
    <message>
        <source>VT520</source>
        <translation>VT520</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ustawienia</translation>
    </message>
    <message>
        <source>Flash %p%</source>
        <translation>Flash %p%</translation>
    </message>
    <message>
        <source>External flash write %p%</source>
        <translation>Zapis pamięci zewnętrznej %p%</translation>
    </message>
    <message>
        <source>External flash verify %p%</source>
        <translation>Weryfikacja pamięci zewnętrznej %p%</translation>
    </message>
    <message>
        <source>Firmware Change</source>
        <translation>Zmiana firmware</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Połącz</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Rozłącz</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Odczyt</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Zapis</translation>
    </message>
    <message>
        <source>WritePage</source>
        <translation>Zapis strony</translation>
    </message>
    <message>
        <source>WriteExtFlashBin</source>
        <translation>Zapis pliku bin</translation>
    </message>
    <message>
        <source>RunApplication</source>
        <translation>Uruchom aplikację</translation>
    </message>
    <message>
        <source>WriteExternalFlash</source>
        <translation>Zapis pamięci zewn.</translation>
    </message>
    <message>
        <source>ReadExternalFlash</source>
        <translation>Odczyt pamięci zewn.</translation>
    </message>
    <message>
        <source>CreateUpg</source>
        <translation>Utwórz plik upg</translation>
    </message>
    <message>
        <source>CreateBootBin</source>
        <translation>Utwórz bootloader</translation>
    </message>
    <message>
        <source>StatusClr</source>
        <translation>Kasuj status</translation>
    </message>
    <message>
        <source>StatusGet</source>
        <translation>Odczytaj status</translation>
    </message>
    <message>
        <source>StatusSet</source>
        <translation>Ustaw status</translation>
    </message>
    <message>
        <source>GetDmx</source>
        <translation>Odczyt DMX</translation>
    </message>
    <message>
        <source>Programs</source>
        <translation>Programy</translation>
    </message>
    <message>
        <source>Program Number</source>
        <translation>Numer programu</translation>
    </message>
    <message>
        <source>Scene Number</source>
        <translation>Numer sceny</translation>
    </message>
    <message>
        <source>XFade</source>
        <translation>Przejście</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Scene Time</source>
        <translation>Czas sceny</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>End Marker</source>
        <translation>Znacznik końca</translation>
    </message>
    <message>
        <source>Get Programs Form Vt520</source>
        <translation>Pobierz programy z Vt520</translation>
    </message>
    <message>
        <source>Set Programs In Vt520</source>
        <translation>Zapisz programy w Vt520</translation>
    </message>
    <message>
        <source>Load Programs From FIle</source>
        <translation>Wczytaj programy z pliku</translation>
    </message>
    <message>
        <source>Save Programs To File</source>
        <translation>Zapisz programy do pliku</translation>
    </message>
    <message>
        <source>Scenes</source>
        <translation>Sceny</translation>
    </message>
    <message>
        <source>Get Scenes Form Vt520</source>
        <translation>Pobierz sceny z Vt520</translation>
    </message>
    <message>
        <source>Set Scenes In Vt520</source>
        <translation>Zapisz sceny w Vt520</translation>
    </message>
    <message>
        <source>Load Scenes From File</source>
        <translation>Wczytaj sceny z pliku</translation>
    </message>
    <message>
        <source>Save Scenes To File</source>
        <translation>Zapisz sceny do pliku</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Pomoc</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Polski</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Angielski</translation>
    </message>
    <message>
        <source>Vt520 - info</source>
        <translation>Vt520 - informacje</translation>
    </message>
</context>
</TS>
