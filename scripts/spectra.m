% spectra.m - plots the Fourier spectra and the amplification of a sitewave run.
%
% Run it in the directory that holds amp1.csv and Amp-Factors.csv (MATLAB or
% GNU Octave):
%   spectra
% Top: the moduli of the shaped spectra of H1, H2 and V1 (amp1.csv).
% Bottom: the moduli of the SH and P-SV amplification, both columns
% (Amp-Factors.csv). Both on log-log axes; the zero frequency is left out.
% Column titles are shown as written: an underscore is not a subscript.

function spectra()
  figure('Name', 'sitewave: amp1.csv and Amp-Factors.csv');
  plot_table(1, 'amp1.csv', 3, 'Fourier amplitude', 'Spectra (amp1.csv)');
  plot_table(2, 'Amp-Factors.csv', 4, '|amplification|', 'Amplification (Amp-Factors.csv)');
end

% One panel: the n value columns of a file against its frequency column.
function plot_table(panel, name, n, quantity, heading)
  [f, values, titles] = read_table(name, n);
  subplot(2, 1, panel);
  loglog(f, values);
  grid on;
  % The titles go in as one cell array so that a title such as 'location' is
  % not taken for an option; the interpreter is set on the handle because
  % MATLAB and Octave agree on that form.
  key = legend(titles(2:n + 1), 'location', 'southwest');
  set(key, 'Interpreter', 'none');
  xlabel('frequency (Hz)', 'Interpreter', 'none');
  ylabel(quantity, 'Interpreter', 'none');
  title(heading, 'Interpreter', 'none');
end

% Reads a frequency column and n value columns; every row ends with a comma.
function [f, values, titles] = read_table(name, n)
  fid = fopen(name, 'r');
  if fid < 0
    error('spectra.m: there is no %s in %s', name, pwd);
  end
  titles = strtrim(strsplit(fgetl(fid), ','));
  columns = textscan(fid, repmat('%s ', 1, n + 2), 'Delimiter', ',');
  fclose(fid);
  f = str2double(columns{1});
  values = zeros(numel(f), n);
  for c = 1:n
    values(:, c) = str2double(columns{c + 1});
  end
  keep = f > 0;
  f = f(keep);
  values = values(keep, :);
end
