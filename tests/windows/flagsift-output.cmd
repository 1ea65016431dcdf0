@echo off
rem flagsift from a batch script after a LaTeX run: the warnings and errors
rem of a CR LF log in the .flg file, under the names of the input files, and
rem the exit codes a script tests.
setlocal
set "ME=%~nx0"
set FAILS=0

echo This is a TeX log>paper.log
echo (./paper.tex>>paper.log
echo (./chap1.tex [1]>>paper.log
echo Overfull \hbox (3.5pt too wide) in paragraph at lines 5--6>>paper.log
echo []\tenrm text (not a file>>paper.log
echo.>>paper.log
echo ) [2]>>paper.log
echo ! Undefined control sequence.>>paper.log
echo l.12 \foo>>paper.log
echo ?>>paper.log
echo )>>paper.log

echo.>expected.flg
echo ===^>^> ./chap1.tex ^<^<===>>expected.flg
echo Overfull \hbox (3.5pt too wide) in paragraph at lines 5--6>>expected.flg
echo []\tenrm text (not a file>>expected.flg
echo.>>expected.flg
echo.>>expected.flg
echo ===^>^> ./paper.tex ^<^<===>>expected.flg
echo ! Undefined control sequence.>>expected.flg
echo l.12 \foo>>expected.flg

flagsift paper.tex
if not "%ERRORLEVEL%"=="0" call :fail flagsift paper.tex: exit code %ERRORLEVEL%, expected 0
call :compare paper.flg expected.flg
if not "%SAME%"=="yes" call :fail paper.flg differs

rem -- a second run replaces the file
flagsift paper.tex
call :compare paper.flg expected.flg
if not "%SAME%"=="yes" call :fail paper.flg differs after a second run

rem -- the exit codes: 1 bad name, 2 no log, 4 no .flg
flagsift paper.TEX
if not "%ERRORLEVEL%"=="1" call :fail flagsift paper.TEX: exit code %ERRORLEVEL%, expected 1
flagsift paper
if not "%ERRORLEVEL%"=="1" call :fail flagsift paper: exit code %ERRORLEVEL%, expected 1
flagsift other.tex
if not "%ERRORLEVEL%"=="2" call :fail flagsift other.tex without a log: exit code %ERRORLEVEL%, expected 2
if exist other.flg call :fail flagsift other.tex without a log wrote other.flg
copy /y paper.log locked.log >nul
md locked.flg
flagsift locked.tex
if not "%ERRORLEVEL%"=="4" call :fail flagsift with a folder locked.flg: exit code %ERRORLEVEL%, expected 4

if not "%FAILS%"=="0" (
    echo %ME%: %FAILS% checks failed
    exit /b 1
)
echo %ME%: all checks passed
exit /b 0

rem SAME: yes when the two files have the same size and the same non-empty
rem lines; else no, and both are shown. The lines are compared inside
rem delayed expansion, where their characters are never parsed (a lone "!"
rem drops out on both sides alike; the sizes still see it).
:compare
setlocal enabledelayedexpansion
set LA=
set LB=
if exist "%~1" for /f "usebackq delims=" %%L in ("%~1") do set "LA=!LA![%%L]"
if exist "%~2" for /f "usebackq delims=" %%L in ("%~2") do set "LB=!LB![%%L]"
set SAME=yes
if not "!LA!"=="!LB!" set SAME=no
if not exist "%~1" set SAME=no
if not "%~z1"=="%~z2" set SAME=no
if "!SAME!"=="no" echo   %~1, %~z1 bytes: !LA!
if "!SAME!"=="no" echo   expected, %~z2 bytes: !LB!
endlocal & set "SAME=%SAME%"
goto :EOF

:fail
echo FAIL %ME%: %*
set /a FAILS+=1
goto :EOF
