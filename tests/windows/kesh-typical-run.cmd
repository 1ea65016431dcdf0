@echo off
rem The typical kesh run from a batch script: load a list, keep some lines,
rem pick from the menu, hand them back as a variable through the command
rem file; the list edited in place, an @ argument file, a $ variable of this
rem script, exit codes beyond one byte, and -: with the actions e and r
rem ending the script.
if "%1"=="child-e" goto child_e
setlocal
set "ME=%~nx0"
set FAILS=0
set "..=call .\kesh-set.cmd"

echo alpha.tex>list.txt
echo beta.txt>>list.txt
echo gamma.tex>>list.txt
echo delta.tex>>list.txt

rem -- the list's .tex lines, joined with commas into one variable
kesh -I list.txt -e .tex -:,TEXFILES
set RC=%ERRORLEVEL%
%..%
if not "%RC%"=="3" call :fail -:, as last operation: exit code %RC%, expected 3
if not "%TEXFILES%"=="alpha.tex,gamma.tex,delta.tex" call :fail -:, gave TEXFILES=[%TEXFILES%]
call :size list.txt
if not "%SIZE%"=="43" call :fail -:, as last operation rewrote list.txt: %SIZE% bytes

rem -- the same with the menu in between, its answers read from a file
>answer.txt echo 3 1
kesh -I list.txt -e .tex -? "Which files (enter=all)" -:,CHOSEN <answer.txt 2>menu.txt
set RC=%ERRORLEVEL%
set .sel=
%..%
if not "%RC%"=="2" call :fail menu answer 3 1: exit code %RC%, expected 2
if not "%CHOSEN%"=="delta.tex,alpha.tex" call :fail menu answer 3 1 gave CHOSEN=[%CHOSEN%]
if not defined .sel call :fail the menu wrote no .sel line
call :size menu.txt
if "%SIZE%"=="0" call :fail the menu showed nothing on standard error
echo.>answer.txt
kesh -I list.txt -e .tex -? "Which files (enter=all)" -:,CHOSEN <answer.txt 2>menu.txt
set RC=%ERRORLEVEL%
%..%
if not "%RC%"=="3" call :fail menu with an empty answer: exit code %RC%, expected 3
if not "%CHOSEN%"=="alpha.tex,gamma.tex,delta.tex" call :fail menu with an empty answer gave CHOSEN=[%CHOSEN%]

rem -- kesh FILE edits the file in place and writes CR LF line ends
kesh list.txt -v beta
set RC=%ERRORLEVEL%
if not "%RC%"=="3" call :fail kesh list.txt -v beta: exit code %RC%, expected 3
call :size list.txt
if not "%SIZE%"=="33" call :fail list.txt after -v: %SIZE% bytes, expected 33 (three CR LF lines)
call :lines list.txt
if not "%LINES%"=="[alpha.tex][gamma.tex][delta.tex]" call :fail list.txt after -v holds %LINES%

rem -- an @ argument file: one operation or parameter per line
echo -I>args.txt
echo list.txt>>args.txt
echo -e>>args.txt
echo gamma>>args.txt
echo -:PICK>>args.txt
kesh @args.txt
set RC=%ERRORLEVEL%
%..%
if not "%RC%"=="1" call :fail kesh @args.txt: exit code %RC%, expected 1
if not "%PICK%"=="gamma.tex" call :fail kesh @args.txt gave PICK=[%PICK%]

rem -- $ parameters: a variable this script set, split at blanks or at ;
set "NAMES=one two three"
set "DIRS=c:\a;c:\b c;d:\"
kesh -L $NAMES -:;JOINED -L $;DIRS -:=N -:-LAST
set RC=%ERRORLEVEL%
%..%
if not "%JOINED%"=="one;two;three" call :fail $NAMES joined with ; gave [%JOINED%]
if not "%N%"=="6" call :fail $;DIRS: N=[%N%], expected 6 lines in the window
if not "%LAST%"=="d:\" call :fail $;DIRS: last line [%LAST%]
if not "%RC%"=="6" call :fail $ run: exit code %RC%, expected 6

rem -- wildcards reach the program as written: list.txt and args.txt exist
kesh -L *.txt -:W
%..%
if not "%W%"=="*.txt" call :fail kesh -L *.txt gave W=[%W%]

rem -- exit codes are whole: -1 and line counts above 255
kesh
if not "%ERRORLEVEL%"=="-1" call :fail kesh without operations: exit code %ERRORLEVEL%, expected -1
for /l %%i in (1,1,300) do echo line %%i>>big.txt
kesh big.txt
if not "%ERRORLEVEL%"=="300" call :fail kesh big.txt: exit code %ERRORLEVEL%, expected 300

rem -- action e: an empty window ends the whole script through "exit"
if exist reached-zzz.txt del reached-zzz.txt
if exist reached-gamma.txt del reached-gamma.txt
cmd /c "%~f0" child-e zzz
if exist reached-zzz.txt call :fail -:SEL:e on an empty window did not end the script
cmd /c "%~f0" child-e gamma
if not exist reached-gamma.txt call :fail -:SEL:e on a full window ended the script
set SEL=
if exist reached-gamma.txt for /f "usebackq delims=" %%L in ("reached-gamma.txt") do set "SEL=%%L"
if not "%SEL%"=="gamma.tex" call :fail -:SEL:e on a full window gave SEL=[%SEL%]

rem -- action r: an empty window leaves the subroutine through "goto :EOF"
set PICKED=unset
call :pick zzz
if defined PICKED call :fail -:PICKED:r on an empty window gave PICKED=[%PICKED%]
set LAST=
for /f "usebackq delims=" %%L in ("kesh-set.cmd") do set "LAST=%%L"
if not "%LAST%"=="goto :EOF" call :fail -:PICKED:r: last command-file line [%LAST%]
call :pick delta
if not "%PICKED%"=="delta.tex" call :fail -:PICKED:r on a full window gave PICKED=[%PICKED%]

if not "%FAILS%"=="0" (
    echo %ME%: %FAILS% checks failed
    exit /b 1
)
echo %ME%: all checks passed
exit /b 0

rem The command file is entered without call, as the tail of the routine:
rem its last line leaves the routine.
:pick
kesh -I list.txt -e %1 -:PICKED:r
%..:~5%
call :fail the command file of -:PICKED:r returned to :pick
goto :EOF

:child_e
set "..=call .\child-set.cmd"
kesh -I list.txt -e %2 -:SEL:e
%..%
echo %SEL%>reached-%2.txt
exit /b 0

rem LINES: the file's non-empty lines, each in brackets
:lines
setlocal enabledelayedexpansion
set LINES=
for /f "usebackq delims=" %%L in ("%~1") do set "LINES=!LINES![%%L]"
endlocal & set "LINES=%LINES%"
goto :EOF

:size
set SIZE=missing
if exist "%~1" set SIZE=%~z1
goto :EOF

:fail
echo FAIL %ME%: %*
set /a FAILS+=1
goto :EOF
