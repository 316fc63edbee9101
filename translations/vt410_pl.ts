<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>DialogInfo</name>
    <message>
        <source>Vt520 Information</source>
        <translation>Vt520 - informacje</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:8.25pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Vt520 driver configuration software&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;img src=&quot;:/res/images/logo5.png&quot; /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;www.example.com&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Example Lighting Works Ltd.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;12 Sample Street&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;00-000 Exampleton&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Examplestan&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;tel. +1 555 0100&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;fax +1 555 0101&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;e-mail: info@example.com&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:8.25pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Oprogramowanie konfiguracyjne sterownika Vt520&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;img src=&quot;:/res/images/logo5.png&quot; /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;www.example.com&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Example Lighting Works Ltd.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;12 Sample Street&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;00-000 Exampleton&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Examplestan&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;tel. +1 555 0100&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;faks +1 555 0101&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;e-mail: info@example.com&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>EditingActions</name>
    <message>
        <source>Editing</source>
        <translation>Edycja</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Cofnij</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Ponów</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edycja</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Język</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Pomo&amp;c</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Save the shown table to another file</source>
        <translation>Zapisz pokazaną tabelę do innego pliku</translation>
    </message>
    <message>
        <source>Copy Scene</source>
        <translation>Kopiuj scenę</translation>
    </message>
    <message>
        <source>Copy the shown scene: lamps, XFade, Scene Time and End Marker</source>
        <translation>Kopiuj pokazaną scenę: lampy, przejście, czas sceny i znacznik końca</translation>
    </message>
    <message>
        <source>Cut Scene</source>
        <translation>Wytnij scenę</translation>
    </message>
    <message>
        <source>Copy the shown scene, then make its lamps black and its times zero</source>
        <translation>Kopiuj pokazaną scenę, potem wygaś jej lampy i wyzeruj jej czasy</translation>
    </message>
    <message>
        <source>Paste Scene</source>
        <translation>Wklej scenę</translation>
    </message>
    <message>
        <source>Put the copied scene into the shown scene</source>
        <translation>Wstaw skopiowaną scenę w miejsce pokazanej</translation>
    </message>
    <message>
        <source>Blackout</source>
        <translation>Wygaszenie</translation>
    </message>
    <message>
        <source>Make all lamps of the shown scene black</source>
        <translation>Wygaś wszystkie lampy pokazanej sceny</translation>
    </message>
    <message>
        <source>Scene %1 copied</source>
        <translation>Scena %1 skopiowana</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Wytnij</translation>
    </message>
    <message>
        <source>Scene %1 cut</source>
        <translation>Scena %1 wycięta</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Wklej</translation>
    </message>
    <message>
        <source>Scene %1 pasted</source>
        <translation>Scena %1 wklejona</translation>
    </message>
    <message>
        <source>Scene %1 blacked out</source>
        <translation>Scena %1 wygaszona</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Zaznaczenie suwaków</translation>
    </message>
    <message>
        <source>Select &amp;All Sliders</source>
        <translation>Zaznacz &amp;wszystkie suwaki</translation>
    </message>
    <message>
        <source>Select All &amp;Red Sliders</source>
        <translation>Zaznacz wszystkie &amp;czerwone suwaki</translation>
    </message>
    <message>
        <source>Select All &amp;Green Sliders</source>
        <translation>Zaznacz wszystkie &amp;zielone suwaki</translation>
    </message>
    <message>
        <source>Select All &amp;Blue Sliders</source>
        <translation>Zaznacz wszystkie &amp;niebieskie suwaki</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Odznacz wszystkie suwaki</translation>
    </message>
    <message>
        <source>&amp;Deselect Red Sliders</source>
        <translation>Odznacz czerwon&amp;e suwaki</translation>
    </message>
    <message>
        <source>Deselect Gr&amp;een Sliders</source>
        <translation>Odznacz zie&amp;lone suwaki</translation>
    </message>
    <message>
        <source>Deselect Blue &amp;Sliders</source>
        <translation>Odznacz niebieskie s&amp;uwaki</translation>
    </message>
    <message>
        <source>values out of range were shown as their nearest allowed value; saving writes them</source>
        <translation>wartości spoza zakresu pokazano jako najbliższe dozwolone; zapis zapisze je w tej postaci</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>No Vt520 answered.</source>
        <translation>Żaden Vt520 nie odpowiedział.</translation>
    </message>
    <message>
        <source>The Vt520 did not answer in time.</source>
        <translation>Vt520 nie odpowiedział na czas.</translation>
    </message>
    <message>
        <source>The Vt520 refused the request.</source>
        <translation>Vt520 odrzucił żądanie.</translation>
    </message>
    <message>
        <source>The Vt520 left the USB bus.</source>
        <translation>Vt520 zniknął z magistrali USB.</translation>
    </message>
    <message>
        <source>The transfer to the Vt520 failed.</source>
        <translation>Transfer do Vt520 nie powiódł się.</translation>
    </message>
    <message>
        <source>The Vt520 stopped answering.</source>
        <translation>Vt520 przestał odpowiadać.</translation>
    </message>
    <message>
        <source>Stopped on request.</source>
        <translation>Zatrzymano na żądanie.</translation>
    </message>
</context>
<context>
    <name>FirmwareChange</name>
    <message>
        <source>Bootloader mode</source>
        <translation>Tryb bootloadera</translation>
    </message>
    <message>
        <source>Writting firmware ... </source>
        <translation>Zapis firmware ... </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>USB Timeout
Check USB Cable</source>
        <translation>Przekroczony czas USB
Sprawdź kabel USB</translation>
    </message>
    <message>
        <source>Bootloader Version Read Error</source>
        <translation>Błąd odczytu wersji bootloadera</translation>
    </message>
    <message>
        <source>Serial:</source>
        <translation>Numer seryjny:</translation>
    </message>
    <message>
        <source>Apllication mode</source>
        <translation>Tryb aplikacji</translation>
    </message>
    <message>
        <source>Reset device</source>
        <translation>Reset urządzenia</translation>
    </message>
    <message>
        <source>USB timout
Check USB cable</source>
        <translation>Przekroczony czas USB
Sprawdź kabel USB</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Rozłącz</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Połącz</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>BŁĄD</translation>
    </message>
    <message>
        <source>Writting External Flash ... </source>
        <translation>Zapis pamięci zewnętrznej ... </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Verify External Flash ...  </source>
        <translation>Weryfikacja pamięci zewnętrznej ...  </translation>
    </message>
    <message>
        <source>read_buffer</source>
        <translation>read_buffer</translation>
    </message>
    <message>
        <source>ext_datas.data()</source>
        <translation>ext_datas.data()</translation>
    </message>
    <message>
        <source>The device does not use this tool&apos;s transfer key (its bootloader version reads as garbage); nothing was written. Build the tool with the device&apos;s key (see README).</source>
        <translation>Urządzenie nie używa klucza transmisji tego programu (wersja bootloadera odczytuje się jako śmieci); nic nie zapisano. Zbuduj program z kluczem urządzenia (zobacz README).</translation>
    </message>
    <message>
        <source>Done: the Vt520 %1 at %2 runs the new firmware.</source>
        <translation>Gotowe: Vt520 %1 na porcie %2 działa na nowym oprogramowaniu.</translation>
    </message>
    <message>
        <source>Nothing was sent to the Vt520; it is unchanged.</source>
        <translation>Nic nie zostało wysłane do Vt520; urządzenie jest bez zmian.</translation>
    </message>
    <message>
        <source>No Vt520 answered; nothing was written.</source>
        <translation>Żaden Vt520 nie odpowiedział; nic nie zostało zapisane.</translation>
    </message>
    <message>
        <source>Nothing was written; the Vt520 is unchanged.</source>
        <translation>Nic nie zostało zapisane; Vt520 jest bez zmian.</translation>
    </message>
    <message>
        <source>Nothing was written: the Vt520 did not answer in its bootloader after the reset. Replug it and run the change again.</source>
        <translation>Nic nie zostało zapisane: Vt520 nie odpowiedział w trybie bootloadera po resecie. Podłącz go ponownie i powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: a firmware page could not be written. The Vt520 is in its bootloader; run the change again.</source>
        <translation>Błąd: nie udało się zapisać strony oprogramowania. Vt520 jest w trybie bootloadera; powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: the external flash could not be written or read back. The Vt520 is in its bootloader; run the change again.</source>
        <translation>Błąd: nie udało się zapisać ani odczytać pamięci zewnętrznej. Vt520 jest w trybie bootloadera; powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: the Vt520 stopped answering during the external flash transfer. Check the cable, replug it and run the change again; it starts in its bootloader.</source>
        <translation>Błąd: Vt520 przestał odpowiadać podczas zapisu pamięci zewnętrznej. Sprawdź kabel, podłącz go ponownie i powtórz zmianę; uruchomi się w trybie bootloadera.</translation>
    </message>
    <message>
        <source>Failed: the external flash read back different from the file. The Vt520 is in its bootloader; run the change again.</source>
        <translation>Błąd: odczytana pamięć zewnętrzna różni się od pliku. Vt520 jest w trybie bootloadera; powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: a firmware page read back different from the file; the Vt520 may run damaged firmware. Run the change again.</source>
        <translation>Błąd: odczytana strona oprogramowania różni się od pliku; Vt520 może działać na uszkodzonym oprogramowaniu. Powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: the Vt520 did not come back at %1 after the start of the new firmware. Replug it; if it stays in its bootloader, run the change again.</source>
        <translation>Błąd: Vt520 nie pojawił się ponownie na porcie %1 po uruchomieniu nowego oprogramowania. Podłącz go ponownie; jeśli pozostanie w trybie bootloadera, powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: the request to start the new firmware failed, and the Vt520 is in its bootloader; run the change again.</source>
        <translation>Błąd: polecenie uruchomienia nowego oprogramowania nie powiodło się i Vt520 jest w trybie bootloadera; powtórz zmianę.</translation>
    </message>
    <message>
        <source>Failed: the Vt520 came back in its bootloader: the new firmware did not start. Run the change again.</source>
        <translation>Błąd: Vt520 wrócił w trybie bootloadera: nowe oprogramowanie nie uruchomiło się. Powtórz zmianę.</translation>
    </message>
    <message>
        <source>Stopped on request: the Vt520 is in its bootloader; run the change again.</source>
        <translation>Zatrzymano na żądanie: Vt520 jest w trybie bootloadera; powtórz zmianę.</translation>
    </message>
    <message>
        <source>Stopped on request before anything was written: the Vt520 is unchanged.</source>
        <translation>Zatrzymano na żądanie, zanim cokolwiek zapisano: Vt520 jest bez zmian.</translation>
    </message>
</context>
<context>
    <name>FirmwareChangeController</name>
    <message>
        <source>A firmware change is running. The button is enabled again when it has ended.</source>
        <translation>Trwa zmiana firmware. Przycisk będzie znów dostępny po jej zakończeniu.</translation>
    </message>
    <message>
        <source>Firmware change running</source>
        <translation>Trwa zmiana oprogramowania</translation>
    </message>
    <message>
        <source>A firmware change is running; keep the Vt520 plugged in until it has ended.
Close the window when the change has ended?</source>
        <translation>Trwa zmiana oprogramowania; nie odłączaj Vt520, dopóki się nie zakończy.
Zamknąć okno po zakończeniu zmiany?</translation>
    </message>
    <message>
        <source>The window closes when the firmware change has ended.</source>
        <translation>Okno zamknie się po zakończeniu zmiany oprogramowania.</translation>
    </message>
</context>
<context>
    <name>HexToBin</name>
    <message>
        <source>A line is shorter than a record.</source>
        <translation>Wiersz jest krótszy niż rekord.</translation>
    </message>
    <message>
        <source>A line does not begin with &apos;:&apos;.</source>
        <translation>Wiersz nie zaczyna się od &apos;:&apos;.</translation>
    </message>
    <message>
        <source>A byte count is not hexadecimal.</source>
        <translation>Liczba bajtów nie jest szesnastkowa.</translation>
    </message>
    <message>
        <source>An address is not hexadecimal.</source>
        <translation>Adres nie jest szesnastkowy.</translation>
    </message>
    <message>
        <source>A record type is not hexadecimal.</source>
        <translation>Typ rekordu nie jest szesnastkowy.</translation>
    </message>
    <message>
        <source>A data byte is not hexadecimal or is missing.</source>
        <translation>Bajt danych nie jest szesnastkowy albo go brakuje.</translation>
    </message>
    <message>
        <source>A record type is not supported or an extended address is not hexadecimal.</source>
        <translation>Typ rekordu nie jest obsługiwany albo adres rozszerzony nie jest szesnastkowy.</translation>
    </message>
    <message>
        <source>The file cannot be opened.</source>
        <translation>Nie można otworzyć pliku.</translation>
    </message>
    <message>
        <source>The file holds no data for the device&apos;s address range.</source>
        <translation>Plik nie zawiera danych dla zakresu adresów urządzenia.</translation>
    </message>
    <message>
        <source>Unknown error %1.</source>
        <translation>Nieznany błąd %1.</translation>
    </message>
    <message>
        <source>The checksum does not match the record.</source>
        <translation>Suma kontrolna nie zgadza się z rekordem.</translation>
    </message>
    <message>
        <source>The byte count does not fit the record type.</source>
        <translation>Liczba bajtów nie pasuje do typu rekordu.</translation>
    </message>
    <message>
        <source>Characters follow the checksum.</source>
        <translation>Po sumie kontrolnej są jeszcze znaki.</translation>
    </message>
    <message>
        <source>A line is longer than %1 bytes.</source>
        <translation>Wiersz przekracza dopuszczalną długość (%1 B).</translation>
    </message>
    <message>
        <source>The checksum is missing or not hexadecimal.</source>
        <translation>Brak sumy kontrolnej albo nie jest ona szesnastkowa.</translation>
    </message>
    <message>
        <source>The file holds no data for the application region (0x08004000 to 0x0801FFFF).</source>
        <translation>Plik nie zawiera danych dla obszaru aplikacji (0x08004000 do 0x0801FFFF).</translation>
    </message>
    <message>
        <source>The record gives addresses that line %1 gave, with other bytes.</source>
        <translation>Rekord podaje adresy, które podał już wiersz %1, z innymi bajtami.</translation>
    </message>
    <message>
        <source>The record gives addresses that an earlier line gave, with other bytes.</source>
        <translation>Rekord podaje adresy, które podał już wcześniejszy wiersz, z innymi bajtami.</translation>
    </message>
</context>
<context>
    <name>Lamp</name>
    <message>
        <source>Single LED settings</source>
        <translation>Ustawienia pojedynczej lampy</translation>
    </message>
    <message>
        <source>Value of red color &lt;0-255&gt; </source>
        <translation>Wartość koloru czerwonego &lt;0-255&gt; </translation>
    </message>
    <message>
        <source>TAB key next green edit box, SHIFT+TAB previous blue edit box</source>
        <translation>TAB - następne pole zielone, SHIFT+TAB - poprzednie pole niebieskie</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Value of green color &lt;0-255&gt; </source>
        <translation>Wartość koloru zielonego &lt;0-255&gt; </translation>
    </message>
    <message>
        <source>TAB key next blue edit box, SHIFT+TAB previous red edit box</source>
        <translation>TAB - następne pole niebieskie, SHIFT+TAB - poprzednie pole czerwone</translation>
    </message>
    <message>
        <source>Value of blue color &lt;0-255&gt; </source>
        <translation>Wartość koloru niebieskiego &lt;0-255&gt; </translation>
    </message>
    <message>
        <source>TAB key next red edit box, SHIFT+TAB previous green edit box</source>
        <translation>TAB - następne pole czerwone, SHIFT+TAB - poprzednie pole zielone</translation>
    </message>
    <message>
        <source>Add 1 to red</source>
        <translation>Dodaj 1 do czerwonego</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Add 1 to green</source>
        <translation>Dodaj 1 do zielonego</translation>
    </message>
    <message>
        <source>Add 1 to blue</source>
        <translation>Dodaj 1 do niebieskiego</translation>
    </message>
    <message>
        <source>Remove 1 from red</source>
        <translation>Odejmij 1 od czerwonego</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Remove 1 from green</source>
        <translation>Odejmij 1 od zielonego</translation>
    </message>
    <message>
        <source>Remove 1 from blue</source>
        <translation>Odejmij 1 od niebieskiego</translation>
    </message>
    <message>
        <source>DMX addres</source>
        <translation>Adres DMX</translation>
    </message>
    <message>
        <source>L: %1</source>
        <translation>L: %1</translation>
    </message>
</context>
<context>
    <name>LampGroupEditing</name>
    <message>
        <source>Colour to Selected Lamps</source>
        <translation>Kolor do zaznaczonych lamp</translation>
    </message>
    <message>
        <source>Colour to All Lamps</source>
        <translation>Kolor do wszystkich lamp</translation>
    </message>
    <message>
        <source>Apply this colour to the selected &amp;lamps</source>
        <translation>Nadaj ten kolor zaznaczonym l&amp;ampom</translation>
    </message>
    <message>
        <source>Apply &amp;this colour to all lamps</source>
        <translation>Nadaj ten kolor wszystkim lampo&amp;m</translation>
    </message>
</context>
<context>
    <name>LightingFilesController</name>
    <message>
        <source>The programs have been changed since they were last saved, read or written.
Save the changes?</source>
        <translation>Programy zmieniono od ostatniego zapisu, odczytu lub wysłania.
Zapisać zmiany?</translation>
    </message>
    <message>
        <source>The scenes have been changed since they were last saved, read or written.
Save the changes?</source>
        <translation>Sceny zmieniono od ostatniego zapisu, odczytu lub wysłania.
Zapisać zmiany?</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Niezapisane zmiany</translation>
    </message>
    <message>
        <source>Save Programs File</source>
        <translation>Zapisz plik programów</translation>
    </message>
    <message>
        <source>Save Scenes File</source>
        <translation>Zapisz plik scen</translation>
    </message>
    <message>
        <source>Programs Files (*.pgm)</source>
        <translation>Pliki programów (*.pgm)</translation>
    </message>
    <message>
        <source>Scens Files (*.scn)</source>
        <translation>Pliki scen (*.scn)</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>Błąd pliku</translation>
    </message>
    <message>
        <source>The file %1 could not be saved.
%2</source>
        <translation>Nie można zapisać pliku %1.
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Zapisano %1</translation>
    </message>
    <message>
        <source>Open Programs File</source>
        <translation>Otwórz plik programów</translation>
    </message>
    <message>
        <source>Open Scenes File</source>
        <translation>Otwórz plik scen</translation>
    </message>
    <message>
        <source>Load from File</source>
        <translation>Wczytanie z pliku</translation>
    </message>
    <message>
        <source>Loaded %1</source>
        <translation>Wczytano %1</translation>
    </message>
    <message>
        <source>The file %1 is neither a programs file nor a scenes file; it was not opened.</source>
        <translation>Plik %1 nie jest ani plikiem programów, ani plikiem scen; nie został otwarty.</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Otwórz &amp;ostatni</translation>
    </message>
    <message>
        <source>No longer found, removed from Open Recent: %1</source>
        <translation>Już nie istnieją, usunięte z listy ostatnich plików: %1</translation>
    </message>
    <message>
        <source>No recent files</source>
        <translation>Brak ostatnich plików</translation>
    </message>
</context>
<context>
    <name>QDialog</name>
    <message>
        <source>Vt520 ver. </source>
        <translation>Vt520 wer. </translation>
    </message>
</context>
<context>
    <name>RecordEditCommand</name>
    <message>
        <source>Scene</source>
        <translation>Scena</translation>
    </message>
    <message>
        <source>Lamp %1</source>
        <translation>Lampa %1</translation>
    </message>
    <message>
        <source>Lamps</source>
        <translation>Lampy</translation>
    </message>
    <message>
        <source>XFade</source>
        <translation>Przejście</translation>
    </message>
    <message>
        <source>Scene Time</source>
        <translation>Czas sceny</translation>
    </message>
    <message>
        <source>End Marker</source>
        <translation>Znacznik końca</translation>
    </message>
</context>
<context>
    <name>SceneListActions</name>
    <message>
        <source>&amp;Insert Scene</source>
        <translation>Wst&amp;aw scenę</translation>
    </message>
    <message>
        <source>Put a blank scene before the shown one; the later scenes move down and the last drops off</source>
        <translation>Wstaw pustą scenę przed pokazaną; dalsze sceny przesuwają się w dół, a ostatnia wypada</translation>
    </message>
    <message>
        <source>&amp;Delete Scene</source>
        <translation>&amp;Usuń scenę</translation>
    </message>
    <message>
        <source>Take the shown scene out; the later scenes move up and a blank scene comes in at the end</source>
        <translation>Usuń pokazaną scenę; dalsze sceny przesuwają się w górę, a na końcu pojawia się pusta scena</translation>
    </message>
    <message>
        <source>&amp;Move Scene Up</source>
        <translation>Przesuń scenę w gó&amp;rę</translation>
    </message>
    <message>
        <source>Swap the shown scene with the one before it</source>
        <translation>Zamień pokazaną scenę z poprzednią</translation>
    </message>
    <message>
        <source>Move Scene D&amp;own</source>
        <translation>Przesuń scenę w &amp;dół</translation>
    </message>
    <message>
        <source>Swap the shown scene with the one after it</source>
        <translation>Zamień pokazaną scenę z następną</translation>
    </message>
    <message>
        <source>Cop&amp;y Program</source>
        <translation>Kop&amp;iuj program</translation>
    </message>
    <message>
        <source>Copy all scenes of the shown program</source>
        <translation>Kopiuj wszystkie sceny pokazanego programu</translation>
    </message>
    <message>
        <source>Paste Pro&amp;gram</source>
        <translation>Wklej progra&amp;m</translation>
    </message>
    <message>
        <source>Put the copied program&apos;s scenes into the shown program</source>
        <translation>Wstaw sceny skopiowanego programu do pokazanego programu</translation>
    </message>
    <message>
        <source>Scene %1 of program %2 is not empty. Inserting a scene drops it.
Insert a scene anyway?</source>
        <translation>Scena %1 programu %2 nie jest pusta. Wstawienie sceny ją usunie.
Wstawić scenę mimo to?</translation>
    </message>
    <message>
        <source>Scene %1 is not empty. Inserting a scene drops it.
Insert a scene anyway?</source>
        <translation>Scena %1 nie jest pusta. Wstawienie sceny ją usunie.
Wstawić scenę mimo to?</translation>
    </message>
    <message>
        <source>Insert Scene</source>
        <translation>Wstawienie sceny</translation>
    </message>
    <message>
        <source>Scene %1 inserted</source>
        <translation>Wstawiono scenę %1</translation>
    </message>
    <message>
        <source>Delete Scene</source>
        <translation>Usunięcie sceny</translation>
    </message>
    <message>
        <source>Scene %1 deleted</source>
        <translation>Usunięto scenę %1</translation>
    </message>
    <message>
        <source>Move Scene Up</source>
        <translation>Przesunięcie sceny w górę</translation>
    </message>
    <message>
        <source>Scene %1 moved to %2</source>
        <translation>Scena %1 przeniesiona na miejsce %2</translation>
    </message>
    <message>
        <source>Move Scene Down</source>
        <translation>Przesunięcie sceny w dół</translation>
    </message>
    <message>
        <source>Program %1 copied</source>
        <translation>Program %1 skopiowany</translation>
    </message>
    <message>
        <source>Paste Program</source>
        <translation>Wklejenie programu</translation>
    </message>
    <message>
        <source>Program %1 pasted</source>
        <translation>Program %1 wklejony</translation>
    </message>
</context>
<context>
    <name>SceneOverview</name>
    <message>
        <source>Scene %1, lamp %2: R %3, G %4, B %5</source>
        <translation>Scena %1, lampa %2: R %3, G %4, B %5</translation>
    </message>
    <message>
        <source>Scene %1, lamp %2: R %3 G %4 B %5</source>
        <translation>Scena %1, lampa %2: R %3 G %4 B %5</translation>
    </message>
    <message>
        <source>In the scene shown</source>
        <translation>W pokazanej scenie</translation>
    </message>
    <message>
        <source>Press to show scene %1</source>
        <translation>Naciśnij, aby pokazać scenę %1</translation>
    </message>
    <message>
        <source>Scene overview</source>
        <translation>Przegląd scen</translation>
    </message>
    <message>
        <source>Scene %1 of %2 shown. Left, Right, Home and End choose another.</source>
        <translation>Pokazana scena %1 z %2. Strzałki w lewo i w prawo, Home i End wybierają inną.</translation>
    </message>
    <message>
        <source>Scene %1, end of program, lamp %2: R %3 G %4 B %5</source>
        <translation>Scena %1, koniec programu, lampa %2: R %3 G %4 B %5</translation>
    </message>
    <message>
        <source>Scene %1, end of program: its End Marker is set</source>
        <translation>Scena %1, koniec programu: ma ustawiony znacznik końca</translation>
    </message>
</context>
<context>
    <name>SuperRGB</name>
    <message>
        <source>Lamp %1</source>
        <translation>Lampa %1</translation>
    </message>
    <message>
        <source>Colour of lamp %1 on DMX channels %2 to %3</source>
        <translation>Kolor lampy %1 na kanałach DMX od %2 do %3</translation>
    </message>
    <message>
        <source>Lamp %1 colour</source>
        <translation>Kolor lampy %1</translation>
    </message>
    <message>
        <source>Drag the colour to another lamp, drop one here, or double-click to choose one</source>
        <translation>Przeciągnij kolor na inną lampę, upuść tu kolor lub kliknij dwukrotnie, aby go wybrać</translation>
    </message>
    <message>
        <source>Lamp %1 red</source>
        <translation>Lampa %1 czerwony</translation>
    </message>
    <message>
        <source>Red level on DMX channel %1, 0 to 255</source>
        <translation>Poziom czerwieni na kanale DMX %1, od 0 do 255</translation>
    </message>
    <message>
        <source>Lamp %1 red value</source>
        <translation>Lampa %1 wartość czerwieni</translation>
    </message>
    <message>
        <source>Type the red level, 0 to 255</source>
        <translation>Wpisz poziom czerwieni, od 0 do 255</translation>
    </message>
    <message>
        <source>Lamp %1 red up by 1</source>
        <translation>Lampa %1 czerwony o 1 w górę</translation>
    </message>
    <message>
        <source>Lamp %1 red down by 1</source>
        <translation>Lampa %1 czerwony o 1 w dół</translation>
    </message>
    <message>
        <source>Lamp %1 green</source>
        <translation>Lampa %1 zielony</translation>
    </message>
    <message>
        <source>Green level on DMX channel %1, 0 to 255</source>
        <translation>Poziom zieleni na kanale DMX %1, od 0 do 255</translation>
    </message>
    <message>
        <source>Lamp %1 green value</source>
        <translation>Lampa %1 wartość zieleni</translation>
    </message>
    <message>
        <source>Type the green level, 0 to 255</source>
        <translation>Wpisz poziom zieleni, od 0 do 255</translation>
    </message>
    <message>
        <source>Lamp %1 green up by 1</source>
        <translation>Lampa %1 zielony o 1 w górę</translation>
    </message>
    <message>
        <source>Lamp %1 green down by 1</source>
        <translation>Lampa %1 zielony o 1 w dół</translation>
    </message>
    <message>
        <source>Lamp %1 blue</source>
        <translation>Lampa %1 niebieski</translation>
    </message>
    <message>
        <source>Blue level on DMX channel %1, 0 to 255</source>
        <translation>Poziom niebieskiego na kanale DMX %1, od 0 do 255</translation>
    </message>
    <message>
        <source>Lamp %1 blue value</source>
        <translation>Lampa %1 wartość niebieskiego</translation>
    </message>
    <message>
        <source>Type the blue level, 0 to 255</source>
        <translation>Wpisz poziom niebieskiego, od 0 do 255</translation>
    </message>
    <message>
        <source>Lamp %1 blue up by 1</source>
        <translation>Lampa %1 niebieski o 1 w górę</translation>
    </message>
    <message>
        <source>Lamp %1 blue down by 1</source>
        <translation>Lampa %1 niebieski o 1 w dół</translation>
    </message>
    <message>
        <source>DMX channel</source>
        <translation>Kanał DMX</translation>
    </message>
</context>
<context>
    <name>UnitLock</name>
    <message>
        <source>another process</source>
        <translation>inny proces</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>proces %1</translation>
    </message>
    <message>
        <source>process %1 (%2)</source>
        <translation>proces %1 (%2)</translation>
    </message>
</context>
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
    <message>
        <source>The file %1 is damaged: its application region does not match its sum. Nothing was sent to the Vt520.</source>
        <translation>Plik %1 jest uszkodzony: obszar aplikacji nie zgadza się z jego sumą kontrolną. Nic nie zostało wysłane do Vt520.</translation>
    </message>
    <message>
        <source>The file %1 is damaged: its external flash region does not match its sum. Nothing was sent to the Vt520.</source>
        <translation>Plik %1 jest uszkodzony: obszar pamięci zewnętrznej nie zgadza się z jego sumą kontrolną. Nic nie zostało wysłane do Vt520.</translation>
    </message>
    <message>
        <source>The file %1 holds no application: its application region is all zeros. Nothing was sent to the Vt520.</source>
        <translation>Plik %1 nie zawiera aplikacji: jej obszar to same zera. Nic nie zostało wysłane do Vt520.</translation>
    </message>
</context>
<context>
    <name>UsbDevice</name>
    <message>
        <source>The Vt520 is connected but this user may not open it. Install the udev rule (70-vt520.rules, see README) and plug the device in again.</source>
        <translation>Vt520 jest podłączony, ale ten użytkownik nie może go otworzyć. Zainstaluj regułę udev (70-vt520.rules, zob. README) i podłącz urządzenie ponownie.</translation>
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
    <message>
        <source>USB Timeout
Check USB Cable</source>
        <translation>Przekroczony czas USB
Sprawdź kabel USB</translation>
    </message>
    <message>
        <source>Wrong file header</source>
        <translation>Nieprawidłowy nagłówek pliku</translation>
    </message>
    <message>
        <source>Wrong version</source>
        <translation>Nieprawidłowa wersja pliku</translation>
    </message>
    <message>
        <source>Wrong file size</source>
        <translation>Nieprawidłowy rozmiar pliku</translation>
    </message>
    <message>
        <source>slotUpdateProgramScene</source>
        <translation>Błąd odczytu z Vt520</translation>
    </message>
    <message>
        <source>Nothing was made from the file %1.
%2</source>
        <translation>Z pliku %1 nic nie utworzono.
%2</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Wiersz %1: %2</translation>
    </message>
    <message>
        <source>Bytes of the file outside the application and external flash regions, left out: %1.</source>
        <translation>Bajty pliku spoza obszarów aplikacji i zewnętrznej pamięci flash, pominięte: %1.</translation>
    </message>
    <message>
        <source>untitled</source>
        <translation>bez nazwy</translation>
    </message>
    <message>
        <source>Get from Vt520</source>
        <translation>Odczyt z Vt520</translation>
    </message>
    <message>
        <source>A firmware change is running; %1 was not used.</source>
        <translation>Trwa zmiana oprogramowania; plik %1 nie został użyty.</translation>
    </message>
    <message>
        <source>Firmware Change</source>
        <translation>Zmiana firmware</translation>
    </message>
    <message>
        <source>Change the firmware of the Vt520 with %1?
Keep the Vt520 plugged in until the change has ended.</source>
        <translation>Zmienić oprogramowanie Vt520 na zawarte w pliku %1?
Nie odłączaj Vt520, dopóki zmiana się nie zakończy.</translation>
    </message>
    <message>
        <source> at %1</source>
        <translation> na porcie %1</translation>
    </message>
    <message>
        <source>Reading the programs from the Vt520 failed; the table is unchanged.</source>
        <translation>Odczyt programów z Vt520 nie powiódł się; tabela nie została zmieniona.</translation>
    </message>
    <message>
        <source>Reading the scenes from the Vt520 failed; the table is unchanged.</source>
        <translation>Odczyt scen z Vt520 nie powiódł się; tabela nie została zmieniona.</translation>
    </message>
    <message>
        <source>Programs read from the Vt520%1</source>
        <translation>Programy odczytane z Vt520%1</translation>
    </message>
    <message>
        <source>Scenes read from the Vt520%1</source>
        <translation>Sceny odczytane z Vt520%1</translation>
    </message>
    <message>
        <source>Writing to the Vt520 failed before anything was sent; the Vt520 is unchanged.</source>
        <translation>Zapis do Vt520 nie powiódł się, zanim cokolwiek wysłano; Vt520 nie został zmieniony.</translation>
    </message>
    <message>
        <source>Writing failed; the Vt520 may now hold part of the new table: write again.</source>
        <translation>Zapis nie powiódł się; Vt520 może teraz zawierać część nowej tabeli: zapisz ponownie.</translation>
    </message>
    <message>
        <source>Programs written to the Vt520%1</source>
        <translation>Programy zapisane w Vt520%1</translation>
    </message>
    <message>
        <source>Scenes written to the Vt520%1</source>
        <translation>Sceny zapisane w Vt520%1</translation>
    </message>
    <message>
        <source>The Vt520 is in use by another program; close it and try again.</source>
        <translation>Vt520 jest używany przez inny program; zamknij go i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>No Vt520 attached at %1</source>
        <translation>Brak podłączonego Vt520 na porcie %1</translation>
    </message>
    <message>
        <source>A firmware change is running; nothing was sent.</source>
        <translation>Trwa zmiana oprogramowania; nic nie zostało wysłane.</translation>
    </message>
    <message>
        <source>serial unknown</source>
        <translation>nr seryjny nieznany</translation>
    </message>
    <message>
        <source>serial %1</source>
        <translation>nr seryjny %1</translation>
    </message>
    <message>
        <source>application</source>
        <translation>aplikacja</translation>
    </message>
    <message>
        <source>bootloader</source>
        <translation>bootloader</translation>
    </message>
    <message>
        <source>mode unknown</source>
        <translation>tryb nieznany</translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>&amp;Urządzenie</translation>
    </message>
    <message>
        <source>%1: not attached</source>
        <translation>%1: niepodłączony</translation>
    </message>
    <message>
        <source>%1 Vt520s attached: choose one in the Device menu</source>
        <translation>Podłączonych Vt520: %1; wybierz jeden w menu Urządzenie</translation>
    </message>
    <message>
        <source>Vt520 at %1 (%2 attached)</source>
        <translation>Vt520 w %1 (podłączonych: %2)</translation>
    </message>
    <message>
        <source>Vt520 in use</source>
        <translation>Vt520 jest zajęty</translation>
    </message>
    <message>
        <source>Choose a Vt520</source>
        <translation>Wybierz Vt520</translation>
    </message>
    <message>
        <source>Several Vt520s are attached. Which one is the command for?</source>
        <translation>Podłączono kilka Vt520. Do którego z nich jest polecenie?</translation>
    </message>
    <message>
        <source>The Vt520 at %1 is in use by %2; nothing was sent.</source>
        <translation>Vt520 na porcie %1 jest używany przez %2; nic nie zostało wysłane.</translation>
    </message>
    <message>
        <source>The Vt520 at %1 could not be reserved for this program (%2); nothing was sent.</source>
        <translation>Nie udało się zarezerwować Vt520 na porcie %1 dla tego programu (%2); nic nie zostało wysłane.</translation>
    </message>
    <message>
        <source>The Vt520 may still have its host-access bit set: get or set the table again, or unplug the Vt520 and plug it in again.</source>
        <translation>Vt520 może nadal mieć ustawiony bit dostępu hosta: odczytaj lub zapisz tabelę ponownie albo odłącz Vt520 i podłącz go ponownie.</translation>
    </message>
    <message>
        <source>Firmware write progress</source>
        <translation>Postęp zapisu oprogramowania</translation>
    </message>
    <message>
        <source>External flash write progress</source>
        <translation>Postęp zapisu pamięci zewnętrznej</translation>
    </message>
    <message>
        <source>External flash verify progress</source>
        <translation>Postęp weryfikacji pamięci zewnętrznej</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Dziennik</translation>
    </message>
    <message>
        <source>What the program did and what the Vt520 answered, newest line last</source>
        <translation>Co zrobił program i co odpowiedział Vt520; najnowszy wiersz na końcu</translation>
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
<context>
    <name>Vt520Monitor</name>
    <message>
        <source>No Vt520 attached</source>
        <translation>Brak podłączonego Vt520</translation>
    </message>
    <message>
        <source>Vt520 at %1</source>
        <translation>Vt520 w %1</translation>
    </message>
    <message>
        <source>%1 Vt520s attached: commands use %2</source>
        <translation>Podłączonych Vt520: %1, polecenia używają %2</translation>
    </message>
</context>
</TS>
