-- description: Customers of a country picked from the customers' countries (SSQLPICKR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city
FROM customers
WHERE country = ?SSQLPICKR_Country||"{SELECT DISTINCT country FROM customers ORDER BY country}"?
ORDER BY name
