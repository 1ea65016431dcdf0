@echo off
rem numka from a batch script: assignments handed back as set lines through
rem the command file, compound assignments, a number in hexadecimal, and the
rem set lines on standard output when no command file is named.
setlocal
set "ME=%~nx0"
set FAILS=0
set "..=call .\numka-out.cmd"

numka : a=6*7 b=$a/2 a+=1
set RC=%ERRORLEVEL%
%..%
if not "%RC%"=="0" call :fail numka : a=6*7 ...: exit code %RC%, expected 0
if not "%a%"=="43.000000" call :fail a=6*7 then a+=1 gave a=[%a%]
if not "%b%"=="21.000000" call :fail b=$a/2 gave b=[%b%]
call :lines numka-out.cmd
if not "%LINES%"=="[set a=43.000000][set b=21.000000]" call :fail command file holds %LINES%

rem -- every compound form; a name first met in one keeps the value as is
numka : x=10 x-=4 x*=3 x/=2 y+=3 z=4 z/=0 w=-5 v=2-5
%..%
if not "%x%"=="9.000000" call :fail x=10 x-=4 x*=3 x/=2 gave x=[%x%]
if not "%y%"=="3.000000" call :fail y+=3 on a new name gave y=[%y%]
if not "%z%"=="0.000000" call :fail z=4 z/=0 gave z=[%z%]
if not "%w%"=="-5.000000" call :fail w=-5 gave w=[%w%]
if not "%v%"=="-3.000000" call :fail v=2-5 gave v=[%v%]

rem -- values from the calling script arrive through the command line
set STEP=2.5
numka : t=%STEP%*4 t-=1
%..%
if not "%t%"=="9.000000" call :fail t=%STEP%*4 t-=1 gave t=[%t%]

rem -- a parameter error writes no set line and still ends with 0
set q=before
numka : q=1 r=$nothere 2>err.txt
set RC=%ERRORLEVEL%
%..%
if not "%RC%"=="0" call :fail numka with a parameter error: exit code %RC%, expected 0
if not "%q%"=="before" call :fail a parameter error still set q=[%q%]
call :size numka-out.cmd
if not "%SIZE%"=="0" call :fail a parameter error left %SIZE% bytes in the command file
call :lines err.txt
if not "%LINES%"=="[*** Parameter error $nothere]" call :fail a parameter error reported %LINES%

rem -- hexadecimal: the number plus one, named from the third character on
numka :hex 254 --VAL
%..%
if not "%VAL%"=="FF" call :fail :hex 254 --VAL gave VAL=[%VAL%]

rem -- an unknown mode ends with -1
numka :HEX 9 xxN
if not "%ERRORLEVEL%"=="-1" call :fail numka :HEX: exit code %ERRORLEVEL%, expected -1

rem -- without a command file the set lines go to standard output, CR LF ended
set ..=
numka : s=1 s*=8 >out.txt
call :size out.txt
if not "%SIZE%"=="16" call :fail standard output holds %SIZE% bytes, expected 16
call :lines out.txt
if not "%LINES%"=="[set s=8.000000]" call :fail standard output holds %LINES%

if not "%FAILS%"=="0" (
    echo %ME%: %FAILS% checks failed
    exit /b 1
)
echo %ME%: all checks passed
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
