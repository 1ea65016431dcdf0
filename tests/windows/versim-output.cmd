@echo off
rem versim from a batch script: the LaTeX file written beside the text, its
rem name derived or given, CR LF line ends, and the exit codes.
setlocal
set "ME=%~nx0"
set FAILS=0

echo First line>my_notes.txt
echo.>>my_notes.txt
echo 50%% of {it}>>my_notes.txt

versim my_notes.txt
if not "%ERRORLEVEL%"=="0" call :fail versim my_notes.txt: exit code %ERRORLEVEL%, expected 0
if not exist my_notes.tex call :fail versim my_notes.txt wrote no my_notes.tex

call :expect_for my_notes.tex
call :compare my_notes.tex expected.tex
if not "%SAME%"=="yes" call :fail my_notes.tex differs

rem -- an explicit output name; the input's CR LF lines come out whole
versim my_notes.txt out.ltx
if not "%ERRORLEVEL%"=="0" call :fail versim my_notes.txt out.ltx: exit code %ERRORLEVEL%, expected 0
call :expect_for out.ltx
call :compare out.ltx expected.tex
if not "%SAME%"=="yes" call :fail out.ltx differs

rem -- a .tex input gets .tex.tex, never itself
copy /y my_notes.txt paper.tex >nul
versim paper.tex
if not exist paper.tex.tex call :fail versim paper.tex wrote no paper.tex.tex
call :compare paper.tex my_notes.txt
if not "%SAME%"=="yes" call :fail versim paper.tex changed its input

rem -- no input name: 1; a missing input: 1; an output that cannot be made: 2
versim
if not "%ERRORLEVEL%"=="1" call :fail versim without a name: exit code %ERRORLEVEL%, expected 1
versim nothere.txt 2>err.txt
if not "%ERRORLEVEL%"=="1" call :fail versim nothere.txt: exit code %ERRORLEVEL%, expected 1
if exist nothere.tex call :fail versim nothere.txt wrote nothere.tex
md sub
versim my_notes.txt sub 2>err.txt
if not "%ERRORLEVEL%"=="2" call :fail versim into a folder: exit code %ERRORLEVEL%, expected 2

if not "%FAILS%"=="0" (
    echo %ME%: %FAILS% checks failed
    exit /b 1
)
echo %ME%: all checks passed
exit /b 0

rem expected.tex: what versim writes for my_notes.txt. The notice and the
rem date vary; their form in FILE is checked, then they are taken over.
:expect_for
set NOTE=
set STAMP=
if exist "%~1" for /f "usebackq delims=" %%L in ("%~1") do if not defined NOTE set "NOTE=%%L"
if exist "%~1" for /f "usebackq skip=2 delims=" %%L in ("%~1") do if not defined STAMP set "STAMP=%%L"
if not "%NOTE:~1,6%"==" ASCII" call :fail %~1: first line is not the conversion notice
if not "%NOTE:~9,16%"=="LaTeX conversion" call :fail %~1: first line is not the conversion notice
if not "%STAMP:~0,10%"=="\def\Date{" call :fail %~1: date line [%STAMP%]
if not "%STAMP:~34%"=="}" call :fail %~1: date line [%STAMP%] does not hold 24 characters

setlocal enabledelayedexpansion
echo !NOTE!>expected.tex
endlocal
echo %% File: my_notes.txt>>expected.tex
echo %STAMP%>>expected.tex
echo \def\Filename{my\_notes.txt}>>expected.tex
echo \input _latex>>expected.tex
echo \Use{fancyhdr}>>expected.tex
echo \Script>>expected.tex
echo \renewcommand{\ttdefault}{courin}>>expected.tex
echo {\small>>expected.tex
echo \begin{verbatim}>>expected.tex
echo First line>>expected.tex
echo \end{verbatim}>>expected.tex
echo \begin{verbatim}>>expected.tex
echo 50%% of {it}>>expected.tex
echo \end{verbatim}>>expected.tex
echo }>>expected.tex
echo \End>>expected.tex
goto :EOF

rem SAME: yes when the two files have the same size and the same non-empty
rem lines; else no, and both are shown. The lines are compared inside
rem delayed expansion, where their characters are never parsed.
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
